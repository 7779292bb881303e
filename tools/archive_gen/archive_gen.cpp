// Writes a zip archive with minizip's own writer, deterministically: entries
// in the order given, one time stamp for all (the build's SOURCE_DATE_EPOCH),
// MS-DOS attributes, UTF-8 name flag.
//
//   archive_gen [--time SECONDS] OUT.zip NAME=FILE ... NAME/ ...
//
// SECONDS since 1970 (UTC) date every entry; without it, 2024-01-01 00:00:00.
// NAME=FILE adds the bytes of FILE deflated as a file entry (attribute 0x20);
// NAME/ adds a folder entry (attribute 0x10, stored, size 0).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zip.h"

namespace {

constexpr unsigned long kFixedDosDate = (44ul << 25) | (1ul << 21) | (1ul << 16);  // 2024-01-01 00:00:00

// The MS-DOS date and time of `seconds` since 1970 in UTC (years 1980 to
// 2107; seconds in steps of two), or the fixed date outside that range.
unsigned long DosDate(long long seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  if (seconds < 0 || gmtime_r(&t, &utc) == nullptr || utc.tm_year < 80 || utc.tm_year > 207) return kFixedDosDate;
  return (static_cast<unsigned long>(utc.tm_year - 80) << 25) | (static_cast<unsigned long>(utc.tm_mon + 1) << 21) |
         (static_cast<unsigned long>(utc.tm_mday) << 16) | (static_cast<unsigned long>(utc.tm_hour) << 11) |
         (static_cast<unsigned long>(utc.tm_min) << 5) | static_cast<unsigned long>(utc.tm_sec / 2);
}
constexpr int kUtf8Names = 1 << 11;
constexpr int kMadeByMsDos = 0;

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool AddEntry(zipFile zip, const std::string& name, const std::string& bytes, bool folder, unsigned long dosDate) {
  zip_fileinfo info = {};
  info.dosDate = dosDate;
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
  int first = 1;
  unsigned long dosDate = kFixedDosDate;
  if (argc > 2 && std::string(argv[1]) == "--time") {
    char* end = nullptr;
    const long long seconds = std::strtoll(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0') {
      std::fprintf(stderr, "archive_gen: --time takes seconds since 1970, not %s\n", argv[2]);
      return 2;
    }
    dosDate = DosDate(seconds);
    first = 3;
  }
  if (argc <= first) {
    std::fprintf(stderr, "usage: archive_gen [--time SECONDS] OUT.zip NAME=FILE ... NAME/ ...\n");
    return 2;
  }
  const std::string out = argv[first];
  std::remove(out.c_str());
  zipFile zip = zipOpen64(out.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) {
    std::fprintf(stderr, "archive_gen: cannot create %s\n", out.c_str());
    return 1;
  }
  bool ok = true;
  for (int i = first + 1; i < argc && ok; ++i) {
    const std::string arg = argv[i];
    const std::string::size_type eq = arg.find('=');
    if (eq == std::string::npos) {
      ok = !arg.empty() && arg.back() == '/' && AddEntry(zip, arg, std::string(), true, dosDate);
    } else {
      std::string bytes;
      ok = ReadFile(arg.substr(eq + 1), &bytes) && AddEntry(zip, arg.substr(0, eq), bytes, false, dosDate);
    }
    if (!ok) std::fprintf(stderr, "archive_gen: cannot add %s\n", arg.c_str());
  }
  if (zipClose(zip, nullptr) != ZIP_OK) ok = false;
  if (!ok) std::remove(out.c_str());
  return ok ? 0 : 1;
}
