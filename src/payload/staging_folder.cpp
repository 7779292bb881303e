#include "payload/staging_folder.h"

#include <cstring>
#include <vector>

#include "os/devices.h"
#include "os/files.h"
#include "os/processes.h"
#include "os/security.h"
#include "os/services.h"
#include "os/system_info.h"
#include "payload/folders.h"
#include "payload/working_path.h"

namespace {

constexpr std::size_t kRandomBytes = 16;
constexpr int kRemovalAttempts = 10;
constexpr os::DWORD kRemovalPauseMs = 200;

// Opens the folder `path` itself (a link is not followed) without delete
// sharing, so that neither it nor a folder above it can be renamed or
// replaced while the handle is open.
os::HANDLE OpenHeld(const std::string& path) {
  return os::CreateFileA(path.c_str(), os::FILE_READ_ATTRIBUTES | os::READ_CONTROL,
                         os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                         os::FILE_FLAG_BACKUP_SEMANTICS | os::FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool PlainFolder(os::HANDLE handle) {
  os::BY_HANDLE_FILE_INFORMATION info{};
  return os::GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) &&
         !(info.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT);
}

// One record of this process's token (TokenUser, TokenOwner), in `buffer`;
// false when it cannot be read.
bool ReadToken(int informationClass, std::vector<os::TOKEN_USER>& buffer) {
  os::HANDLE token = nullptr;
  if (!os::OpenProcessToken(os::GetCurrentProcess(), os::TOKEN_QUERY, &token)) return false;
  os::OwnedHandle owner(token);
  os::DWORD size = 0;
  os::GetTokenInformation(token, informationClass, nullptr, 0, &size);
  if (size < sizeof(os::TOKEN_OWNER)) return false;
  buffer.assign(size / sizeof(os::TOKEN_USER) + 1, os::TOKEN_USER{});
  return os::GetTokenInformation(token, informationClass, buffer.data(),
                                 static_cast<os::DWORD>(buffer.size() * sizeof(os::TOKEN_USER)), &size) != os::FALSE;
}

// Whether `sid` is the user this process runs as, on a system that gives what
// this process makes to that user. Where the system does not keep the owner
// given at creation (Wine), what this process makes is owned by its user; a
// standard user cannot give anything that owner. An elevated token on Windows
// gives what it makes to the Administrators: there a folder owned by the
// user was made by one of the user's processes that is not elevated, and is
// refused.
bool IsProcessUser(os::PSID sid) {
  std::vector<os::TOKEN_USER> owner;
  std::vector<os::TOKEN_USER> user;
  if (!ReadToken(os::TokenOwner, owner) || !ReadToken(os::TokenUser, user)) return false;
  const os::PSID defaultOwner = reinterpret_cast<const os::TOKEN_OWNER*>(owner.data())->Owner;
  if (defaultOwner == nullptr || os::IsWellKnownSid(defaultOwner, os::WinBuiltinAdministratorsSid)) return false;
  return os::EqualSid(sid, user[0].User.Sid) != os::FALSE;
}

// A plain folder (no link) owned by the Administrators, SYSTEM or this
// process's user: only the program, an administrator or the system can have
// made it.
bool IsOwnFolder(os::HANDLE handle) {
  if (!PlainFolder(handle)) return false;
  os::PSID owner = nullptr;
  os::PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (os::GetSecurityInfo(handle, os::SE_FILE_OBJECT, os::OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                          nullptr, &descriptor) != os::ERROR_SUCCESS) {
    return false;
  }
  const bool ours = owner != nullptr && (os::IsWellKnownSid(owner, os::WinBuiltinAdministratorsSid) ||
                                         os::IsWellKnownSid(owner, os::WinLocalSystemSid) || IsProcessUser(owner));
  os::LocalFree(descriptor);
  return ours;
}

// Creates the folder `path` with kOwnFolderSddl given at creation, so it is
// never there without its access list.
bool CreateOwnFolder(const std::string& path) {
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

// "lumatrek." and 32 hex digits from the system's cryptographic generator.
std::string RandomName() {
  unsigned char bytes[kRandomBytes] = {};
  if (!os::RtlGenRandom(bytes, sizeof bytes)) return "";
  static const char kHex[] = "0123456789abcdef";
  std::string name = kWorkingFolderPrefix;
  for (unsigned char b : bytes) {
    name += kHex[b >> 4];
    name += kHex[b & 0xF];
  }
  return name;
}

bool IsWorkingFolderName(const std::string& name) {
  const std::size_t prefix = sizeof kWorkingFolderPrefix - 1;
  if (name.size() != prefix + 2 * kRandomBytes || name.compare(0, prefix, kWorkingFolderPrefix) != 0) return false;
  return name.find_first_not_of("0123456789abcdef", prefix) == std::string::npos;
}

// Deletes the working folders earlier runs left in `parent`: those of the
// name, checked on their handle to be our own plain folders, and not held by
// a command still running. Anything else stays as it is.
void RemoveEarlierRuns(const std::string& parent) {
  os::WIN32_FIND_DATAA entry;
  os::FindListing listing((parent + "\\" + kWorkingFolderPrefix + "*").c_str(), &entry);
  if (!listing) return;
  do {
    const bool folder = (entry.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) &&
                        !(entry.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT);
    if (folder && IsWorkingFolderName(entry.cFileName)) DeleteFolderTree(parent + "\\" + entry.cFileName, IsOwnFolder);
  } while (listing.Next(&entry));
}

// The folder part of "…\Tovlan".
std::string ParentOf(const std::string& path) {
  constexpr std::size_t kVendorName = sizeof "\\Tovlan" - 1;
  return path.size() > kVendorName ? path.substr(0, path.size() - kVendorName) : std::string();
}

}  // namespace

StagingFolder::~StagingFolder() {
  Remove();
  LetGo();
}

bool StagingFolder::HoldFolder(const std::string& path) {
  os::HANDLE held = OpenHeld(path);
  if (held == os::INVALID_HANDLE_VALUE) return false;
  path_.push_back(held);
  return PlainFolder(held);
}

void StagingFolder::LetGo() {
  for (auto it = path_.rbegin(); it != path_.rend(); ++it) os::CloseHandle(*it);
  path_.clear();
}

bool StagingFolder::MakeWorkingFolder(const std::string& parent) {
  RemoveEarlierRuns(parent);
  const std::string name = RandomName();
  if (name.empty()) return false;
  const std::string folder = parent + "\\" + name;
  if (!CreateOwnFolder(folder)) return false;
  // Judged by what is opened: whatever took the new name's place between
  // the creation and this open is left alone.
  os::HANDLE held = OpenHeld(folder);
  if (held == os::INVALID_HANDLE_VALUE) return false;
  if (!IsOwnFolder(held)) {
    os::CloseHandle(held);
    return false;
  }
  own_ = held;
  folder_ = folder;
  return true;
}

bool StagingFolder::Prepare() {
  if (ready()) return true;
  std::string vendor = WorkingPath("");
  if (!vendor.empty()) vendor.pop_back();  // the joining backslash
  const std::string base = ParentOf(vendor);
  if (!base.empty() && HoldFolder(base)) {
    // Made with our access list when missing; a folder already there serves
    // as well once its handle shows a plain folder: it only holds ours.
    CreateOwnFolder(vendor);
    if (HoldFolder(vendor) && MakeWorkingFolder(vendor)) return true;
  }
  LetGo();
  // Not %TEMP%: the system's own temporary folder, which users cannot steer.
  char windows[os::MAX_PATH] = {};
  const os::UINT length = os::GetSystemWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return false;
  const std::string temp = JoinPath(windows, "Temp");
  if (HoldFolder(windows) && HoldFolder(temp) && MakeWorkingFolder(temp)) return true;
  LetGo();
  return false;
}

std::string StagingFolder::PathOf(const std::string& relative) const {
  return ready() ? JoinPath(folder_, relative) : std::string();
}

bool StagingFolder::Remove() {
  if (own_ == nullptr) return true;
  for (int attempt = 0; attempt < kRemovalAttempts; ++attempt) {
    if (attempt > 0) os::Sleep(kRemovalPauseMs);
    if (DeleteFolderContents(folder_)) break;
  }
  // Our handle would refuse the folder's own deletion. The folders above
  // stay held, and the name is judged again on its new handle.
  os::CloseHandle(own_);
  own_ = nullptr;
  return DeleteFolderTree(folder_, IsOwnFolder);
}
