#include "payload/new_file.h"

#include "common/checked_open.h"
#include "os/devices.h"
#include "os/files.h"
#include "payload/folders.h"

namespace {

os::HANDLE CreateNew(const std::string& path) {
  if (!ClearFileName(path)) return os::INVALID_HANDLE_VALUE;
  os::OwnedHandle file(os::CreateFileA(path.c_str(), os::GENERIC_WRITE, 0, nullptr, os::CREATE_NEW,
                                       os::FILE_ATTRIBUTE_NORMAL | os::FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  // Made elsewhere than the path says (a junction or mount point above it):
  // nothing is written there, and what was made is left to whoever led it there.
  if (file.valid() && !IsAtFormedPath(file.get(), path)) return os::INVALID_HANDLE_VALUE;
  return file.release();
}

}  // namespace

NewFile::NewFile(const std::string& path) : handle_(CreateNew(path)) {}

bool NewFile::Write(const void* bytes, std::size_t size) {
  const auto* at = static_cast<const unsigned char*>(bytes);
  while (size > 0) {
    const os::DWORD ask = size > 0x10000000u ? 0x10000000u : static_cast<os::DWORD>(size);
    os::DWORD wrote = 0;
    if (!os::WriteFile(handle_.get(), at, ask, &wrote, nullptr) || wrote == 0) return false;
    at += wrote;
    size -= wrote;
  }
  return true;
}
