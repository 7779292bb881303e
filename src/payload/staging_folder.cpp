#include "payload/staging_folder.h"

#include <cstring>
#include <utility>
#include <vector>

#include "common/checked_open.h"
#include "common/entry_owner.h"
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

// A folder of the program's own making: owned by SYSTEM or the
// Administrators (as the system keeps what the program makes) and carrying
// exactly the program's access list, which nobody else can give it.
bool IsOwnFolder(os::HANDLE handle) { return CarriesOwnAccessList(handle); }

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
    // One that cannot go now (still in use) is tried again by a later run.
    if (folder && IsWorkingFolderName(entry.cFileName)) {
      (void)DeleteFolderTree(parent + "\\" + entry.cFileName, IsOwnFolder);
    }
  } while (listing.Next(&entry));
}

constexpr char kVendorName[] = "\\Tovlan";

// The folder part of "…\Tovlan".
std::string ParentOf(const std::string& path) {
  constexpr std::size_t kLength = sizeof kVendorName - 1;
  return path.size() > kLength ? path.substr(0, path.size() - kLength) : std::string();
}

}  // namespace

StagingFolder::~StagingFolder() {
  (void)Remove();  // a caller that needs the outcome calls Remove itself
  LetGo();
}

bool StagingFolder::HoldFolder(const std::string& path, bool ours) {
  // Only a folder of our own is held by sharing: an open that could wait on
  // another's oplock is never made on what anyone else can open.
  os::OwnedHandle held(ours ? HoldFolderInPlace(path, IsOwnFolder) : OpenJudgedFolder(path));
  if (!held.valid()) return false;
  path_.push_back(std::move(held));
  return true;
}

bool StagingFolder::PrepareIn(const std::string& base) {
  // Made with our access list when missing; one already there serves only
  // when it is as the program makes it: anything else is another's, and
  // what is in it could lead anywhere.
  const std::string vendor = base + kVendorName;
  if (HoldFolder(base, false)) {
    (void)CreateOwnFolder(vendor);  // one already there is judged by the hold
    if (HoldFolder(vendor, true) && MakeWorkingFolder(vendor)) return true;
  }
  LetGo();
  return false;
}

void StagingFolder::LetGo() {
  // The innermost folder first, as they were taken.
  while (!path_.empty()) path_.pop_back();
}

bool StagingFolder::MakeWorkingFolder(const std::string& parent) {
  RemoveEarlierRuns(parent);
  const std::string name = RandomName();
  if (name.empty()) return false;
  const std::string folder = parent + "\\" + name;
  if (!CreateOwnFolder(folder)) return false;
  // Judged by what is opened: whatever took the new name's place between
  // the creation and this open is left alone.
  own_.reset(HoldFolderInPlace(folder, IsOwnFolder));
  if (!own_.valid()) return false;
  folder_ = folder;
  return true;
}

bool StagingFolder::Prepare() {
  if (ready()) return true;
  std::string vendor = WorkingPath("");
  if (!vendor.empty()) vendor.pop_back();  // the joining backslash
  const std::string base = ParentOf(vendor);
  if (!base.empty() && PrepareIn(base)) return true;
  // The Windows folder: no standard user can create anything in it (unlike
  // its Temp folder), so a Tovlan there is ours or an administrator's.
  char windows[os::MAX_PATH] = {};
  const os::UINT length = os::GetSystemWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return false;
  return PrepareIn(std::string(windows, length));
}

std::string StagingFolder::PathOf(const std::string& relative) const {
  return ready() ? JoinPath(folder_, relative) : std::string();
}

bool StagingFolder::Remove() {
  if (!own_.valid()) return true;
  for (int attempt = 0; attempt < kRemovalAttempts; ++attempt) {
    if (attempt > 0) os::Sleep(kRemovalPauseMs);
    if (DeleteFolderContents(folder_)) break;
  }
  // Our handle would refuse the folder's own deletion. The folders above
  // stay held, and the name is judged again on its new handle.
  own_.reset();
  return DeleteFolderTree(folder_, IsOwnFolder);
}
