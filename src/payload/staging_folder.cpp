#include "payload/staging_folder.h"

#include <cstdio>

#include "os/devices.h"
#include "os/files.h"
#include "os/security.h"
#include "os/services.h"
#include "payload/folders.h"
#include "payload/working_path.h"

namespace {

constexpr char kStagingName[] = "\\lumatrek";
constexpr int kAsideAttempts = 16;

// Opens `path` itself (a link is not followed), for reading its attributes
// and owner, without delete sharing.
os::HANDLE OpenEntry(const std::string& path) {
  return os::CreateFileA(path.c_str(), os::FILE_READ_ATTRIBUTES | os::READ_CONTROL,
                         os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                         os::FILE_FLAG_BACKUP_SEMANTICS | os::FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool OwnedByAdministrators(os::HANDLE handle) {
  os::PSID owner = nullptr;
  os::PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (os::GetSecurityInfo(handle, os::SE_FILE_OBJECT, os::OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                          nullptr, &descriptor) != os::ERROR_SUCCESS) {
    return false;
  }
  const bool ours = owner != nullptr && (os::IsWellKnownSid(owner, os::WinBuiltinAdministratorsSid) ||
                                         os::IsWellKnownSid(owner, os::WinLocalSystemSid));
  os::LocalFree(descriptor);
  return ours;
}

// Renames `path` to "<path>.<n>", a name not yet taken.
bool MoveAside(const std::string& path) {
  const os::DWORD start = os::GetTickCount();
  for (int i = 0; i < kAsideAttempts; ++i) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08lx", static_cast<unsigned long>(start + i));
    if (os::MoveFileExA(path.c_str(), (path + suffix).c_str(), 0)) return true;
  }
  return false;
}

// Whether the Administrators or SYSTEM own what is at `path` (not followed).
bool OwnedByAdministrators(const std::string& path) {
  os::OwnedHandle entry(OpenEntry(path));
  return entry.valid() && OwnedByAdministrators(entry.get());
}

// Creates `path` with the program's own descriptor.
bool CreateOwn(const std::string& path) {
  os::PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!os::ConvertStringSecurityDescriptorToSecurityDescriptorA(kOwnFolderSddl, os::SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
    return false;
  }
  os::SECURITY_ATTRIBUTES attributes{sizeof(os::SECURITY_ATTRIBUTES), descriptor, os::FALSE};
  const bool created = os::CreateDirectoryA(path.c_str(), &attributes) != os::FALSE;
  os::LocalFree(descriptor);
  return created;
}

// Opens `path` and returns the handle when it is a plain folder (no link);
// with `checkOwner`, only when the Administrators or SYSTEM own it too.
// Null otherwise.
os::HANDLE HoldFolder(const std::string& path, bool checkOwner) {
  os::HANDLE opened = OpenEntry(path);
  if (opened == os::INVALID_HANDLE_VALUE) return nullptr;
  os::BY_HANDLE_FILE_INFORMATION info{};
  const bool plainFolder = os::GetFileInformationByHandle(opened, &info) &&
                           !(info.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT) &&
                           (info.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY);
  if (plainFolder && (!checkOwner || OwnedByAdministrators(opened))) return opened;
  os::CloseHandle(opened);
  return nullptr;
}

// "...\Tovlan" of "...\Tovlan\lumatrek".
std::string VendorOf(const std::string& staging) {
  return staging.substr(0, staging.size() - (sizeof kStagingName - 1));
}

}  // namespace

StagingFolder::~StagingFolder() {
  if (staging_ != nullptr) os::CloseHandle(staging_);
  if (vendor_ != nullptr) os::CloseHandle(vendor_);
}

bool StagingFolder::HoldExisting() {
  const std::string staging = WorkingPath("lumatrek");
  if (ready() || staging.size() <= sizeof kStagingName) return ready();
  if (vendor_ == nullptr) vendor_ = HoldFolder(VendorOf(staging), false);
  if (vendor_ != nullptr) staging_ = HoldFolder(staging, false);
  return ready();
}

StagingFolder::Claim StagingFolder::Prepare() {
  const std::string staging = WorkingPath("lumatrek");
  if (staging.size() <= sizeof kStagingName) return Claim::NotCreated;
  const std::string vendor = VendorOf(staging);
  if (!CreateFolderForFile(vendor)) return Claim::NotCreated;

  // The vendor folder: kept when it is the Administrators' own plain folder;
  // a link goes as a link, anything of another owner is moved aside.
  const os::DWORD found = os::GetFileAttributesA(vendor.c_str());
  if (found != os::INVALID_FILE_ATTRIBUTES) vendor_ = HoldFolder(vendor, true);
  if (found != os::INVALID_FILE_ATTRIBUTES && vendor_ == nullptr) {
    const bool link = (found & os::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!link && !(found & os::FILE_ATTRIBUTE_DIRECTORY) && OwnedByAdministrators(vendor)) return Claim::NotCreated;
    if (!(link && ClearFileName(vendor)) && !MoveAside(vendor)) return Claim::NotCleared;
  }
  if (vendor_ == nullptr && (!CreateOwn(vendor) || (vendor_ = HoldFolder(vendor, false)) == nullptr)) {
    return Claim::NotCreated;
  }

  // The staging folder: always new. What is there goes (links as links);
  // what cannot be emptied is moved aside.
  const os::DWORD left = os::GetFileAttributesA(staging.c_str());
  if (left != os::INVALID_FILE_ATTRIBUTES) {
    const bool plainFolder =
        (left & os::FILE_ATTRIBUTE_DIRECTORY) && !(left & os::FILE_ATTRIBUTE_REPARSE_POINT);
    const bool removed = plainFolder ? DeleteFolderTree(staging) : ClearFileName(staging);
    if (!removed && !MoveAside(staging)) return Claim::NotCleared;
  }
  if (!CreateOwn(staging) || (staging_ = HoldFolder(staging, false)) == nullptr) return Claim::NotCreated;
  return Claim::Ready;
}
