#include "payload/resource_export.h"

#include "os/files.h"
#include "os/resources.h"
#include "payload/folders.h"

namespace {

// Releases a loaded resource on every path (FreeResource's result means
// nothing on 32-bit Windows).
class LoadedResource {
 public:
  LoadedResource(os::HMODULE module, os::HRSRC found) : h_(os::LoadResource(module, found)) {}
  ~LoadedResource() {
    if (h_ != nullptr) os::FreeResource(h_);
  }
  LoadedResource(const LoadedResource&) = delete;
  LoadedResource& operator=(const LoadedResource&) = delete;
  os::HGLOBAL get() const { return h_; }

 private:
  os::HGLOBAL h_;
};

bool WriteAll(os::FILE* f, const unsigned char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const std::size_t wrote = os::fwrite(bytes + done, 1, size - done, f);
    if (wrote == 0) return false;  // no progress: the disk is full or the stream broken
    done += wrote;
  }
  return true;
}

}  // namespace

bool ExportResource(const std::string& path, int id) {
  const os::HMODULE module = os::GetModuleHandleA(nullptr);
  const os::HRSRC found =
      os::FindResourceA(module, os::MAKEINTRESOURCEA(static_cast<os::WORD>(id)), "ZIPRES");
  if (found == nullptr) return false;
  LoadedResource loaded(module, found);
  if (loaded.get() == nullptr) return false;
  const auto* bytes = static_cast<const unsigned char*>(os::LockResource(loaded.get()));
  if (bytes == nullptr) return false;
  const os::DWORD size = os::SizeofResource(module, found);

  // The staging folder is writable by every user; never write through a link
  // that someone planted at the archive's path.
  if (!RemoveLinkAt(path)) return false;
  os::FileStream out(path.c_str(), "wb");
  if (!out) return false;
  const bool written = WriteAll(out.get(), bytes, size);
  if (out.Close() != 0 || !written) {
    os::DeleteFileA(path.c_str());  // a truncated archive must not look like a good one
    return false;
  }
  return true;
}
