// Writes a zip archive with minizip's own writer, deterministically: entries
// in the order given, one fixed timestamp, MS-DOS attributes, UTF-8 name flag.
//
//   archive_gen OUT.zip NAME=FILE ... NAME/ ...
//
// NAME=FILE adds the bytes of FILE deflated as a file entry (attribute 0x20);
// NAME/ adds a folder entry (attribute 0x10, stored, size 0).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zip.h"

namespace {

constexpr unsigned long kFixedDosDate = (44ul << 25) | (1ul << 21) | (1ul << 16);  // 2024-01-01 00:00:00
constexpr int kUtf8Names = 1 << 11;
constexpr int kMadeByMsDos = 0;

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool AddEntry(zipFile zip, const std::string& name, const std::string& bytes, bool folder) {
  zip_fileinfo info = {};
  info.dosDate = kFixedDosDate;
  info.external_fa = folder ? 0x10 : 0x20;
  const int method = folder ? 0 : Z_DEFLATED;
  const int level = folder ? 0 : 9;
  if (zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method, level, 0,
                              -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByMsDos, kUtf8Names,
                              0) != ZIP_OK) {
    return false;
  }
  if (!bytes.empty() &&
      zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK) {
    return false;
  }
  return zipCloseFileInZip(zip) == ZIP_OK;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: archive_gen OUT.zip NAME=FILE ... NAME/ ...\n");
    return 2;
  }
  const std::string out = argv[1];
  std::remove(out.c_str());
  zipFile zip = zipOpen64(out.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) {
    std::fprintf(stderr, "archive_gen: cannot create %s\n", out.c_str());
    return 1;
  }
  bool ok = true;
  for (int i = 2; i < argc && ok; ++i) {
    const std::string arg = argv[i];
    const std::string::size_type eq = arg.find('=');
    if (eq == std::string::npos) {
      ok = !arg.empty() && arg.back() == '/' && AddEntry(zip, arg, std::string(), true);
    } else {
      std::string bytes;
      ok = ReadFile(arg.substr(eq + 1), &bytes) && AddEntry(zip, arg.substr(0, eq), bytes, false);
    }
    if (!ok) std::fprintf(stderr, "archive_gen: cannot add %s\n", arg.c_str());
  }
  if (zipClose(zip, nullptr) != ZIP_OK) ok = false;
  if (!ok) std::remove(out.c_str());
  return ok ? 0 : 1;
}
