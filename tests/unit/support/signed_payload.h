// The generated driver package with the signer certificate of a test's
// choice: every entry of build/generated/install.zip but its certificate,
// then `file` holding `der` (none when `file` is empty).
#pragma once
#include <string>
#include <vector>

#include "support/archive_builder.h"
#include "unzip.h"

inline std::string PayloadSignedBy(const std::string& file, const std::string& der) {
  std::vector<ArchiveEntry> entries;
  unzFile zip = unzOpen64(LUMATREK_GENERATED_DIR "/install.zip");
  for (int at = unzGoToFirstFile(zip); zip != nullptr && at == UNZ_OK; at = unzGoToNextFile(zip)) {
    unz_file_info64 info = {};
    char name[256] = {};
    unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
    std::string bytes(static_cast<size_t>(info.uncompressed_size), '\0');
    unzOpenCurrentFile(zip);
    if (!bytes.empty()) unzReadCurrentFile(zip, &bytes[0], static_cast<unsigned>(bytes.size()));
    unzCloseCurrentFile(zip);
    const std::string entry = name;
    const bool certificate = entry.size() > 4 && entry.compare(entry.size() - 4, 4, ".cer") == 0;
    if (!certificate) entries.push_back({entry, bytes, !entry.empty() && entry.back() == '/'});
  }
  if (zip != nullptr) unzClose(zip);
  if (!file.empty()) entries.push_back({file, der});
  return BuildArchive(entries);
}
