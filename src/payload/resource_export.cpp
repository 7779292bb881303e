#include "payload/resource_export.h"

#include "os/files.h"
#include "os/resources.h"
#include "os/scoped_handle.h"
#include "payload/new_file.h"

namespace {

// Releases a loaded resource on every path (FreeResource's result means
// nothing on 32-bit Windows).
using LoadedResourceTraits = os::NullIsEmptyTraits<os::HGLOBAL, &os::FreeResource>;
using LoadedResource = os::ScopedHandle<LoadedResourceTraits>;

}  // namespace

bool ExportResource(const std::string& path, int id) {
  const os::HMODULE module = os::GetModuleHandleA(nullptr);
  const os::HRSRC found =
      os::FindResourceA(module, os::MAKEINTRESOURCEA(static_cast<os::WORD>(id)), "ZIPRES");
  if (found == nullptr) return false;
  const LoadedResource loaded(os::LoadResource(module, found));
  if (loaded.get() == nullptr) return false;
  const auto* bytes = static_cast<const unsigned char*>(os::LockResource(loaded.get()));
  if (bytes == nullptr) return false;
  const os::DWORD size = os::SizeofResource(module, found);

  bool written = false;
  {
    NewFile out(path);
    if (!out) return false;
    written = out.Write(bytes, size);
  }
  // A truncated archive must not look like a good one.
  if (!written) os::DeleteFileA(path.c_str());
  return written;
}
