#include "unattended/log_file.h"

#include <vector>

#include "os/devices.h"
#include "os/files.h"
#include "os/processes.h"
#include "os/security.h"
#include "payload/staging_folder.h"
#include "payload/text.h"

namespace {

constexpr os::DWORD kOpenFlags = os::FILE_ATTRIBUTE_NORMAL | os::FILE_FLAG_OPEN_REPARSE_POINT;

// A text the call gives by a sizing call and a filling call ("" on failure).
template <typename Call>
std::string Sized(Call call) {
  const os::DWORD needed = call(nullptr, 0);
  if (needed == 0) return "";
  std::vector<char> buffer(needed + 1, '\0');
  const os::DWORD length = call(buffer.data(), static_cast<os::DWORD>(buffer.size()));
  return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : "";
}

// The final path in the form the full path has: "\\?\C:\..." is "C:\...",
// "\\?\UNC\server\share\..." is "\\server\share\...".
std::string WithoutLongPrefix(const std::string& final) {
  if (final.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\" + final.substr(7);
  if (final.compare(0, 4, "\\\\?\\") == 0) return final.substr(4);
  return final;
}

// Names compare as the file system compares them: case ignored, double-byte
// characters kept whole.
bool SamePath(std::string a, std::string b) {
  if (a.size() != b.size() || a.empty()) return false;
  os::CharUpperBuffA(&a[0], static_cast<os::DWORD>(a.size()));
  os::CharUpperBuffA(&b[0], static_cast<os::DWORD>(b.size()));
  return a == b;
}

// Without a final "\\" (a root's or a share's), for comparing folder paths.
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

// Opens the folder `folder` itself (a link there is not followed) and keeps
// it from being renamed while the handle is open, so that nothing above the
// log can be swapped for a link between the check and the file's creation;
// null unless the handle shows a plain folder at exactly that path.
os::HANDLE HoldFolder(const std::string& folder) {
  os::SECURITY_ATTRIBUTES notInherited{sizeof(os::SECURITY_ATTRIBUTES), nullptr, os::FALSE};
  os::HANDLE held = os::CreateFileA(folder.c_str(), os::FILE_READ_ATTRIBUTES, os::FILE_SHARE_READ | os::FILE_SHARE_WRITE,
                                    &notInherited, os::OPEN_EXISTING,
                                    os::FILE_FLAG_BACKUP_SEMANTICS | os::FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (held == os::INVALID_HANDLE_VALUE || held == nullptr) return nullptr;
  os::BY_HANDLE_FILE_INFORMATION info{};
  const std::string final = Sized([held](char* buffer, os::DWORD size) {
    return os::GetFinalPathNameByHandleA(held, buffer, size, 0);
  });
  if (!os::GetFileInformationByHandle(held, &info) || !(info.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) ||
      (info.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT) ||
      !SamePath(Trimmed(WithoutLongPrefix(final)), Trimmed(folder))) {
    os::CloseHandle(held);
    return nullptr;
  }
  return held;
}

// Whether the open handle is the plain, single-named file at `full`.
bool IsPlainFileAt(os::HANDLE file, const std::string& full) {
  os::BY_HANDLE_FILE_INFORMATION info{};
  if (!os::GetFileInformationByHandle(file, &info)) return false;
  if ((info.dwFileAttributes & (os::FILE_ATTRIBUTE_DIRECTORY | os::FILE_ATTRIBUTE_REPARSE_POINT)) != 0) return false;
  // Another name of the same file could be any file the user may not write.
  if (info.nNumberOfLinks != 1) return false;
  const std::string final = Sized([file](char* buffer, os::DWORD size) {
    return os::GetFinalPathNameByHandleA(file, buffer, size, 0);
  });
  return SamePath(WithoutLongPrefix(final), full);
}

}  // namespace

os::HANDLE OpenLogFile(const std::string& path, LogOpening opening, bool* empty) {
  const std::string full = Sized([&path](char* buffer, os::DWORD size) {
    return os::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
  });
  if (full.empty()) return os::INVALID_HANDLE_VALUE;
  // A junction among the folders would make even a new file appear elsewhere.
  os::OwnedHandle folder(HoldFolder(FolderOf(full)));
  if (!folder.valid()) return os::INVALID_HANDLE_VALUE;
  os::SECURITY_ATTRIBUTES notInherited{sizeof(os::SECURITY_ATTRIBUTES), nullptr, os::FALSE};
  // Appending, the handle can write at the end only: nothing earlier is lost.
  const bool append = opening == LogOpening::Append;
  os::HANDLE file = os::CreateFileA(full.c_str(), append ? os::FILE_APPEND_DATA | os::FILE_READ_ATTRIBUTES : os::GENERIC_WRITE,
                                    os::FILE_SHARE_READ, &notInherited, os::OPEN_ALWAYS, kOpenFlags, nullptr);
  if (file == os::INVALID_HANDLE_VALUE || file == nullptr) return os::INVALID_HANDLE_VALUE;
  if (!IsPlainFileAt(file, full) || (!append && !os::SetEndOfFile(file))) {
    os::CloseHandle(file);
    return os::INVALID_HANDLE_VALUE;
  }
  if (empty != nullptr) {
    os::BY_HANDLE_FILE_INFORMATION info{};
    *empty = !append || (os::GetFileInformationByHandle(file, &info) && info.nFileSizeLow == 0 && info.nFileSizeHigh == 0);
  }
  return file;
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
  if (!os::PathIsDirectoryA(folder.c_str())) {
    os::PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!os::ConvertStringSecurityDescriptorToSecurityDescriptorA(kOwnFolderSddl, os::SDDL_REVISION_1, &descriptor,
                                                                  nullptr)) {
      return "";
    }
    os::SECURITY_ATTRIBUTES attributes{sizeof(os::SECURITY_ATTRIBUTES), descriptor, os::FALSE};
    const bool created = os::CreateDirectoryA(folder.c_str(), &attributes) != os::FALSE;
    os::LocalFree(descriptor);
    if (!created) return "";
  }
  return folder + "\\" + kDefaultLogName;
}
