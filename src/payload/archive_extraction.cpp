#include "payload/archive_extraction.h"

#include "os/files.h"
#include "os/memory.h"
#include "os/scoped_handle.h"
#include "payload/archive_io.h"
#include "payload/folders.h"
#include "payload/new_file.h"
#include "unzip.h"

namespace {

constexpr unsigned kNameBuffer = 260;
constexpr unsigned kChunk = 16384;
constexpr unsigned long kDirectoryAttribute = 0x10;
constexpr int kFailed = -1;
// No entry of the archives the program carries comes near this (the largest,
// the test picture, is about 110 KB); a larger one is refused rather than
// allowed to fill the disk.
constexpr ZPOS64_T kMaxEntrySize = 64u * 1024 * 1024;

// An archive opened through the OS file functions, closed on every path.
using ArchiveTraits = os::NullIsEmptyTraits<unzFile, &unzClose>;
using OpenArchive = os::ScopedHandle<ArchiveTraits>;

unzFile OpenArchiveFile(const std::string& path) {
  zlib_filefunc64_def functions;
  payload::FillOsFileFunctions(&functions);
  return unzOpen2_64(path.c_str(), &functions);
}

// The archive whose current entry is open: the entry is closed on every
// path; CloseEntry reports the checksum verdict of an entry read to its end.
using OpenEntryTraits = os::NullIsEmptyTraits<unzFile, &unzCloseCurrentFile>;
using OpenEntry = os::ScopedHandle<OpenEntryTraits>;

int CloseEntry(OpenEntry& entry) { return unzCloseCurrentFile(entry.release()); }

// Names Windows gives to devices in every folder ("NUL.txt" is the device
// too); a file of such a name would be written to the device.
bool IsDeviceName(std::string component) {
  component = component.substr(0, component.find('.'));
  while (!component.empty() && component.back() == ' ') component.pop_back();
  for (char& c : component) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (component == device) return true;
  }
  return component.size() == 4 && (component.compare(0, 3, "COM") == 0 || component.compare(0, 3, "LPT") == 0) &&
         component[3] >= '1' && component[3] <= '9';
}

// A name that stays inside the destination: relative, no drive or stream
// (":"), no component of dots and spaces only (Windows turns ".. " into
// ".."), and no device name. Entry names use "/" but "\" is a separator on Windows too.
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
      if (IsDeviceName(component)) return false;
      component.clear();
    } else {
      component += c;
    }
  }
  return true;
}

// Writes the current (opened) entry to `out` through one heap chunk. False
// on a read or inflate error, on a write that fails (a full disk), and when
// the data ends before or after the size the archive gives: minizip reports a
// compressed stream that ends early as the entry's end, and checks the
// checksum only of an entry read to its full size.
bool CopyEntry(unzFile zip, NewFile& out, ZPOS64_T size) {
  os::HeapBlock chunk(kChunk);
  if (!chunk) return false;
  ZPOS64_T copied = 0;
  for (;;) {
    const int got = unzReadCurrentFile(zip, chunk.get(), kChunk);
    if (got == 0) return copied == size;
    if (got < 0 || !out.Write(chunk.get(), static_cast<std::size_t>(got))) return false;
    copied += static_cast<ZPOS64_T>(got);
    if (copied > size) return false;
  }
}

int ExtractFile(unzFile zip, const std::string& outPath, const char* password, ZPOS64_T size) {
  const int opened = password != nullptr ? unzOpenCurrentFilePassword(zip, password) : unzOpenCurrentFile(zip);
  if (opened != UNZ_OK) return kFailed;
  OpenEntry entry(zip);
  if (!CreateFolderForFile(outPath)) return kFailed;
  NewFile out(outPath);
  if (!out || !CopyEntry(zip, out, size)) return kFailed;
  // A checksum mismatch shows only when the entry is closed after its end.
  return CloseEntry(entry) == UNZ_OK ? 0 : kFailed;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, const std::string& destination, const char* password) {
  if (!os::PathFileExistsA(destination.c_str()) && !CreateFolderChain(destination)) return kFailed;

  const OpenArchive archive(OpenArchiveFile(archivePath));  // a null archive is refused harmlessly
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
    if (info.uncompressed_size > kMaxEntrySize) return kFailed;

    const std::string outPath = destination + "\\" + name;
    if (info.external_fa & kDirectoryAttribute) {
      if (!CreateFolderChain(outPath)) return kFailed;
    } else if (ExtractFile(archive.get(), outPath, password, info.uncompressed_size) != 0) {
      return kFailed;
    }
    // The directory goes on to its last entry and ends there, not in an error.
    const int next = unzGoToNextFile(archive.get());
    if (next != (i + 1 < global.number_entry ? UNZ_OK : UNZ_END_OF_LIST_OF_FILE)) return kFailed;
  }
  return 0;
}
