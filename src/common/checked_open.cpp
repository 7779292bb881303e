#include "common/checked_open.h"

#include <vector>

#include "os/devices.h"
#include "os/processes.h"

namespace {

constexpr os::DWORD kShareAll = os::FILE_SHARE_READ | os::FILE_SHARE_WRITE | os::FILE_SHARE_DELETE;
constexpr os::DWORD kItself = os::FILE_FLAG_BACKUP_SEMANTICS | os::FILE_FLAG_OPEN_REPARSE_POINT;

// The final path in the form a formed path has: "\\?\C:\..." is "C:\...",
// "\\?\UNC\server\share\..." is "\\server\share\...".
std::string WithoutLongPrefix(const std::string& final) {
  if (final.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\" + final.substr(7);
  if (final.compare(0, 4, "\\\\?\\") == 0) return final.substr(4);
  return final;
}

std::string Trimmed(std::string path) {
  if (!path.empty() && path.back() == '\\') {
    // A trail byte may be 0x5C: only a backslash that is not one counts.
    std::size_t at = 0;
    std::size_t last = std::string::npos;
    while (at < path.size()) {
      last = at;
      at += os::IsDBCSLeadByte(static_cast<os::BYTE>(path[at])) && at + 1 < path.size() ? 2 : 1;
    }
    if (last == path.size() - 1) path.pop_back();
  }
  return path;
}

os::HANDLE Open(const std::string& path, os::DWORD access, os::DWORD share) {
  os::SECURITY_ATTRIBUTES notInherited{sizeof(os::SECURITY_ATTRIBUTES), nullptr, os::FALSE};
  os::HANDLE handle = os::CreateFileA(path.c_str(), access, share, &notInherited, os::OPEN_EXISTING, kItself, nullptr);
  return handle == nullptr ? os::INVALID_HANDLE_VALUE : handle;
}

// Keeps `handle` when `keep`, else closes it.
os::HANDLE KeptIf(bool keep, os::HANDLE handle) {
  os::OwnedHandle owned(handle);
  return keep ? owned.release() : os::INVALID_HANDLE_VALUE;
}

// A text the call gives by a sizing call and a filling call ("" on failure).
template <typename Call>
std::string Sized(Call call) {
  const os::DWORD needed = call(nullptr, 0);
  if (needed == 0) return "";
  std::vector<char> buffer(needed + 1, '\0');
  const os::DWORD length = call(buffer.data(), static_cast<os::DWORD>(buffer.size()));
  return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : "";
}

}  // namespace

std::string FullPathOf(const std::string& path) {
  return Sized([&path](char* buffer, os::DWORD size) { return os::GetFullPathNameA(path.c_str(), size, buffer, nullptr); });
}

bool IsAtFormedPath(os::HANDLE handle, const std::string& formed) {
  const std::string reached = Sized([handle](char* buffer, os::DWORD size) {
    return os::GetFinalPathNameByHandleA(handle, buffer, size, 0);
  });
  const std::string full = FullPathOf(formed);
  if (reached.empty() || full.empty()) return false;
  std::string final = Trimmed(WithoutLongPrefix(reached));
  std::string wanted = Trimmed(full);
  if (final.size() != wanted.size()) return false;
  os::CharUpperBuffA(&final[0], static_cast<os::DWORD>(final.size()));
  os::CharUpperBuffA(&wanted[0], static_cast<os::DWORD>(wanted.size()));
  return final == wanted;
}

os::HANDLE OpenToJudge(const std::string& path, os::BY_HANDLE_FILE_INFORMATION& info) {
  os::HANDLE handle = Open(path, os::FILE_READ_ATTRIBUTES | os::READ_CONTROL, kShareAll);
  return KeptIf(handle != os::INVALID_HANDLE_VALUE && os::GetFileInformationByHandle(handle, &info), handle);
}

bool IsPlainFolder(const os::BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) && !(info.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsPlainFile(const os::BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & (os::FILE_ATTRIBUTE_DIRECTORY | os::FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
         info.nNumberOfLinks == 1;
}

os::HANDLE OpenJudgedFolder(const std::string& path, EntryJudge judge) {
  os::BY_HANDLE_FILE_INFORMATION info{};
  os::HANDLE judged = OpenToJudge(path, info);
  return KeptIf(judged != os::INVALID_HANDLE_VALUE && IsPlainFolder(info) && IsAtFormedPath(judged, path) &&
                    (judge == nullptr || judge(judged)),
                judged);
}

os::HANDLE HoldFolderInPlace(const std::string& path, EntryJudge judge) {
  {
    os::OwnedHandle judged(OpenJudgedFolder(path, judge));
    if (!judged.valid()) return os::INVALID_HANDLE_VALUE;
  }
  // Judged again on the holding handle: the entry may have changed between the two opens.
  os::HANDLE held = Open(path, os::FILE_LIST_DIRECTORY | os::FILE_READ_ATTRIBUTES | os::READ_CONTROL,
                         os::FILE_SHARE_READ | os::FILE_SHARE_WRITE);
  os::BY_HANDLE_FILE_INFORMATION info{};
  const bool plain = held != os::INVALID_HANDLE_VALUE && os::GetFileInformationByHandle(held, &info) &&
                     IsPlainFolder(info) && IsAtFormedPath(held, path);
  return KeptIf(plain && (judge == nullptr || judge(held)), held);
}

os::HANDLE HoldFileForReading(const std::string& path) {
  os::HANDLE held = Open(path, os::GENERIC_READ, os::FILE_SHARE_READ);
  os::BY_HANDLE_FILE_INFORMATION info{};
  return KeptIf(held != os::INVALID_HANDLE_VALUE && os::GetFileInformationByHandle(held, &info) && IsPlainFile(info) &&
                    IsAtFormedPath(held, path),
                held);
}

bool ReadCheckedFile(const std::string& path, std::size_t limit, std::string& bytes) {
  os::OwnedHandle file(HoldFileForReading(path));
  os::BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || !os::GetFileInformationByHandle(file.get(), &info)) return false;
  if (info.nFileSizeHigh != 0 || info.nFileSizeLow == 0 || info.nFileSizeLow > limit) return false;
  bytes.assign(info.nFileSizeLow, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    os::DWORD got = 0;
    if (!os::ReadFile(file.get(), &bytes[done], static_cast<os::DWORD>(bytes.size() - done), &got, nullptr) || got == 0) {
      bytes.clear();
      return false;
    }
    done += got;
  }
  return true;
}
