#include "payload/archive_extraction.h"

#include "os/files.h"
#include "os/memory.h"
#include "payload/archive_io.h"
#include "payload/folders.h"
#include "unzip.h"

namespace {

constexpr unsigned kNameBuffer = 260;
constexpr unsigned kChunk = 16384;
constexpr unsigned long kDirectoryAttribute = 0x10;
constexpr int kFailed = -1;

// Closes the archive on every path.
class OpenArchive {
 public:
  explicit OpenArchive(const std::string& path) {
    zlib_filefunc64_def functions;
    payload::FillOsFileFunctions(&functions);
    zip_ = unzOpen2_64(path.c_str(), &functions);
  }
  ~OpenArchive() { unzClose(zip_); }  // a null archive is refused harmlessly
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;
  unzFile get() const { return zip_; }

 private:
  unzFile zip_;
};

// Closes the current entry on every path (its checksum verdict is not used:
// a damaged entry keeps what was written).
class OpenEntry {
 public:
  explicit OpenEntry(unzFile zip) : zip_(zip) {}
  ~OpenEntry() { unzCloseCurrentFile(zip_); }
  OpenEntry(const OpenEntry&) = delete;
  OpenEntry& operator=(const OpenEntry&) = delete;

 private:
  unzFile zip_;
};

// A name that stays inside the destination: relative, no drive or stream
// (":"), and no component of dots and spaces only (Windows turns ".. " into
// ".."). Entry names use "/" but "\" is a separator on Windows too.
bool IsContainedName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  std::string component;
  for (std::string::size_type i = 0; i <= name.size(); ++i) {
    const char c = i < name.size() ? name[i] : '/';
    if (i < name.size() && os::IsDBCSLeadByte(static_cast<os::BYTE>(c)) && i + 1 < name.size()) {
      component += c;
      component += name[++i];
      continue;
    }
    if (c == ':') return false;
    if (c == '/' || c == '\\') {
      if (!component.empty() && component.find_first_not_of(". ") == std::string::npos) return false;
      component.clear();
    } else {
      component += c;
    }
  }
  return true;
}

// Writes the current (opened) entry to `out` through one heap chunk. A read
// or inflate error ends the entry quietly with what was written so far.
bool CopyEntry(unzFile zip, os::FILE* out) {
  os::HeapBlock chunk(kChunk);
  if (!chunk) return false;
  for (;;) {
    const int got = unzReadCurrentFile(zip, chunk.get(), kChunk);
    if (got <= 0) return true;
    os::fwrite(chunk.get(), 1, static_cast<std::size_t>(got), out);
  }
}

int ExtractFile(unzFile zip, const std::string& outPath, const char* password) {
  const int opened = password != nullptr ? unzOpenCurrentFilePassword(zip, password) : unzOpenCurrentFile(zip);
  if (opened != UNZ_OK) return kFailed;
  OpenEntry entry(zip);
  if (!CreateFolderForFile(outPath)) return kFailed;
  // Never write through a link planted where the entry's file goes.
  if (!RemoveLinkAt(outPath)) return kFailed;
  os::FileStream out(outPath.c_str(), "wb");
  if (!out) return kFailed;
  return CopyEntry(zip, out.get()) ? 0 : kFailed;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, const std::string& destination, const char* password) {
  if (!os::PathFileExistsA(destination.c_str()) && !CreateFolderChain(destination)) return kFailed;

  OpenArchive archive(archivePath);
  unz_global_info64 global;
  const int status = unzGetGlobalInfo64(archive.get(), &global);
  if (status != UNZ_OK) return status;  // -102 for an archive that could not be opened

  for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
    char name[kNameBuffer] = {};
    unz_file_info64 info;
    const int read = unzGetCurrentFileInfo64(archive.get(), &info, name, kNameBuffer, nullptr, 0, nullptr, 0);
    if (read != UNZ_OK) return read;
    // A longer name would arrive cut short, naming some other file.
    if (info.size_filename >= kNameBuffer) return kFailed;
    if (!IsContainedName(name)) return kFailed;

    const std::string outPath = destination + "\\" + name;
    if (info.external_fa & kDirectoryAttribute) {
      if (!CreateFolderChain(outPath)) return kFailed;
    } else if (ExtractFile(archive.get(), outPath, password) != 0) {
      return kFailed;
    }
    if (i + 1 < global.number_entry && unzGoToNextFile(archive.get()) != UNZ_OK) return kFailed;
  }
  return 0;
}
