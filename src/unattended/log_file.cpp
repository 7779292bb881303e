#include "unattended/log_file.h"

#include "common/checked_open.h"
#include "common/entry_owner.h"
#include "os/devices.h"
#include "os/files.h"
#include "os/processes.h"
#include "os/security.h"
#include "payload/staging_folder.h"
#include "payload/text.h"

namespace {

constexpr os::DWORD kOpenFlags = os::FILE_ATTRIBUTE_NORMAL | os::FILE_FLAG_OPEN_REPARSE_POINT;
constexpr os::DWORD kFileNotFound = 2;

std::string Upper(std::string text) {
  if (!text.empty()) os::CharUpperBuffA(&text[0], static_cast<os::DWORD>(text.size()));
  return text;
}

std::string Trimmed(const std::string& path) {
  return payload::EndsWithBackslash(path) ? path.substr(0, path.size() - 1) : path;
}

// The folder that holds `full` ("C:\\" for a file at a drive's root), "" when
// there is none.
std::string FolderOf(const std::string& full) {
  std::string::size_type last = std::string::npos;
  for (auto at = payload::NextBackslash(full, 0); at != std::string::npos; at = payload::NextBackslash(full, at + 1)) {
    last = at;
  }
  if (last == std::string::npos) return "";
  return full.substr(0, last == 2 && full[1] == ':' ? last + 1 : last);
}

// Whether `folder` is the running account's own profile folder or lies in it.
bool InOwnProfile(const std::string& folder) {
  char expanded[os::MAX_PATH] = {};
  const os::DWORD needed = os::ExpandEnvironmentStringsA("%USERPROFILE%", expanded, sizeof expanded);
  if (needed == 0 || needed > sizeof expanded) return false;
  const std::string profile = expanded;
  // An unset variable stays as it was written.
  if (profile.empty() || profile[0] == '%') return false;
  const std::string wanted = Upper(folder);
  std::string own = Upper(profile);
  if (payload::EndsWithBackslash(own)) own.pop_back();
  return wanted == own || wanted.compare(0, own.size() + 1, own + "\\") == 0;
}

bool OwnedBySystemOrAdministrators(os::HANDLE handle) { return IsOwnedBySystemOrAdministrators(handle); }
bool OwnedByUsOrTheSystem(os::HANDLE handle) {
  return IsOwnedBySystemOrAdministrators(handle) || IsOwnedByProcessUser(handle);
}

// How the file is to be opened: CREATE_NEW when nothing is there, OPEN_EXISTING
// for a plain file at exactly `full` that the system, the Administrators or
// this account made; 0 (refused) for anything else. Judged on a handle that
// waits on nobody, so an oplock on a file someone else made cannot stall the
// command.
os::DWORD Disposition(const std::string& full) {
  os::BY_HANDLE_FILE_INFORMATION info{};
  os::OwnedHandle judged(OpenToJudge(full, info));
  if (!judged.valid()) return os::GetLastError() == kFileNotFound ? os::CREATE_NEW : 0;
  const bool usable = IsPlainFile(info) && IsAtFormedPath(judged.get(), full) && OwnedByUsOrTheSystem(judged.get());
  return usable ? os::OPEN_EXISTING : 0;
}

}  // namespace

os::HANDLE OpenLogFile(const std::string& path, LogOpening opening, bool* empty) {
  const std::string full = FullPathOf(path);
  if (full.empty()) return os::INVALID_HANDLE_VALUE;
  // A junction among the folders would make even a new file appear elsewhere;
  // a folder another user made lets that user put anything at the name.
  const std::string folderPath = FolderOf(full);
  const EntryJudge judge = InOwnProfile(folderPath) ? OwnedByUsOrTheSystem : OwnedBySystemOrAdministrators;
  // Opened and judged on a handle that waits on nobody; whatever becomes of it
  // afterwards, the file's own handle is checked to be at its path.
  os::OwnedHandle folder(OpenJudgedFolder(folderPath, judge));
  if (!folder.valid()) return os::INVALID_HANDLE_VALUE;
  const os::DWORD disposition = Disposition(full);
  if (disposition == 0) return os::INVALID_HANDLE_VALUE;
  os::SECURITY_ATTRIBUTES notInherited{sizeof(os::SECURITY_ATTRIBUTES), nullptr, os::FALSE};
  // Appending, the handle can write at the end only: nothing earlier is lost.
  const bool append = opening == LogOpening::Append;
  os::OwnedHandle file(os::CreateFileA(full.c_str(),
                                       append ? os::FILE_APPEND_DATA | os::FILE_READ_ATTRIBUTES : os::GENERIC_WRITE,
                                       os::FILE_SHARE_READ, &notInherited, disposition, kOpenFlags, nullptr));
  if (!file.valid()) return os::INVALID_HANDLE_VALUE;
  os::BY_HANDLE_FILE_INFORMATION info{};
  if (!os::GetFileInformationByHandle(file.get(), &info) || !IsPlainFile(info) || !IsAtFormedPath(file.get(), full) ||
      (!append && !os::SetEndOfFile(file.get()))) {
    return os::INVALID_HANDLE_VALUE;
  }
  if (empty != nullptr) *empty = !append || (info.nFileSizeLow == 0 && info.nFileSizeHigh == 0);
  return file.release();
}

std::string DefaultLogPath() {
  char windows[os::MAX_PATH] = {};
  const os::UINT length = os::GetSystemWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return "";
  std::string folder = Trimmed(windows) + "\\Logs";
  // Standard users cannot create folders under the Windows folder: "Logs" is
  // made with the Windows folder's own inherited access list when missing,
  // "Tovlan" with the one of the program's own folders.
  if (!os::PathIsDirectoryA(folder.c_str()) && !os::CreateDirectoryA(folder.c_str(), nullptr)) return "";
  folder += "\\Tovlan";
  if (!os::PathIsDirectoryA(folder.c_str()) && !CreateOwnFolder(folder)) return "";
  return folder + "\\" + kDefaultLogName;
}
