// The fake file system's handles: CreateFileA on files and folders, with
// sharing modes, DELETE access and oplocks, and the calls made on the handles.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fake_files.h"
#include "fake_files_state.h"
#include "fake_os.h"
#include "os/devices.h"
#include "os/files.h"

namespace fake {
using namespace detail;
namespace {

constexpr std::uint32_t kSynchronize = 0x100000;
// The access that takes part in sharing: data (read, write, append, execute;
// listing a folder is reading it) and DELETE.
constexpr std::uint32_t kSharingAccess = 0x80000000u | 0x40000000u | 0x20000000u | 0x1 | 0x2 | 0x4 | 0x20 | 0x10000;

}  // namespace

namespace detail {

bool WaitOnOplock(const std::string& path, bool followLast) {
  Node* n = Existing(Locate(path, followLast));
  if (n == nullptr || !n->oplock) return false;
  const std::shared_ptr<std::function<void()>> meanwhile = n->oplock;
  n->oplock.reset();
  state().waits.push_back(path);
  if (*meanwhile) (*meanwhile)();
  return true;
}

}  // namespace detail

bool IsDiskPath(const char* path) { return !(path[0] == '\\' && path[1] == '\\'); }

void* OpenDiskFile(const char* path, std::uint32_t access, std::uint32_t shareMode, const void* securityAttributes,
                   std::uint32_t disposition, std::uint32_t flags) {
  const bool followLast = (flags & os::FILE_FLAG_OPEN_REPARSE_POINT) == 0;
  constexpr std::uint32_t kAttributeOnly = os::FILE_READ_ATTRIBUTES | os::READ_CONTROL | kSynchronize;
  if ((access & ~kAttributeOnly) != 0) WaitOnOplock(path, followLast);
  Located l = Locate(path, followLast);
  Node* n = Existing(l);
  const auto fail = [](os::DWORD error) {
    os::SetLastError(error);
    return os::INVALID_HANDLE_VALUE;
  };
  if (l.error != 0) return fail(l.error);
  const bool write = (access & (os::GENERIC_WRITE | os::FILE_APPEND_DATA)) != 0;
  if (disposition == os::OPEN_ALWAYS && n == nullptr) disposition = os::CREATE_NEW;
  if (disposition == os::OPEN_ALWAYS) disposition = os::OPEN_EXISTING;
  if (disposition == os::CREATE_NEW) {
    if (l.node != nullptr) return fail(kFileExists);
    if (l.parent == nullptr) return fail(kPathNotFound);
    Node created;
    created.name = l.parts.back();
    created.data = std::make_shared<std::string>();
    n = &(state().nodes[l.key] = created);
  } else if (disposition == os::OPEN_EXISTING) {
    if (n == nullptr) return fail(MissingError(l));
    if (n->folder && (flags & os::FILE_FLAG_BACKUP_SEMANTICS) == 0) return fail(kAccessDenied);
    if (write && (n->folder || n->readOnly)) return fail(kAccessDenied);
    if (write && (n->locked || n->openStreams > 0)) return fail(kSharingViolation);
    // A file link opened itself has a data stream of its own, apart from its target's.
    if (write && !n->folder && !n->linkTarget.empty() && !n->data) n->data = std::make_shared<std::string>();
  } else {
    return fail(os::ERROR_INVALID_PARAMETER);
  }
  DiskHandle h;
  h.key = l.key;
  h.canWrite = write;
  h.appends = (access & os::FILE_APPEND_DATA) != 0 && (access & os::GENERIC_WRITE) == 0;
  h.canRead = (access & os::GENERIC_READ) != 0;
  h.sharing = (access & kSharingAccess) != 0;
  h.shareWrite = (shareMode & os::FILE_SHARE_WRITE) != 0;
  h.shareDelete = (shareMode & os::FILE_SHARE_DELETE) != 0;
  h.deleteAccess = (access & os::DELETE) != 0;
  if (h.sharing && ((h.deleteAccess && n->noDeleteSharing > 0) || (!h.shareDelete && n->deleteAccess > 0))) {
    return fail(kSharingViolation);
  }
  const auto* attributes = static_cast<const os::SECURITY_ATTRIBUTES*>(securityAttributes);
  h.inheritable = attributes != nullptr && attributes->bInheritHandle != os::FALSE;
  ++n->handles;
  if (h.sharing && !h.shareDelete) ++n->noDeleteSharing;
  if (h.sharing && h.deleteAccess) ++n->deleteAccess;
  const std::intptr_t id = state().nextHandle;
  state().nextHandle += 4;
  state().handles[id] = h;
  return reinterpret_cast<void*>(id);
}

std::vector<void*> InheritableDiskHandles() {
  std::vector<void*> out;
  for (const auto& h : state().handles) {
    if (h.second.inheritable) out.push_back(reinterpret_cast<void*>(h.first));
  }
  return out;
}

bool IsInheritableDiskHandle(void* handle) {
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(handle));
  return it != state().handles.end() && it->second.inheritable;
}

bool IsDiskHandle(void* handle) { return state().handles.count(reinterpret_cast<std::intptr_t>(handle)) != 0; }

int WriteDiskFile(void* handle, const void* buffer, std::uint32_t size, std::uint32_t* written) {
  DiskHandle& h = state().handles[reinterpret_cast<std::intptr_t>(handle)];
  Node* n = Find(h.key);
  if (written != nullptr) *written = 0;
  if (n == nullptr || !h.canWrite || !n->data) {
    os::SetLastError(kAccessDenied);
    return os::FALSE;
  }
  // A write that does not fit fails whole, as on a full NTFS volume.
  if (size > state().freeSpace) {
    os::SetLastError(kDiskFull);
    return os::FALSE;
  }
  const std::size_t bytes = std::min<std::size_t>(size, state().writeLimit);
  std::string& d = *n->data;
  if (h.appends) h.pos = d.size();
  if (d.size() < h.pos + bytes) d.resize(h.pos + bytes, '\0');
  d.replace(h.pos, bytes, static_cast<const char*>(buffer), bytes);
  h.pos += bytes;
  if (state().freeSpace != SIZE_MAX) state().freeSpace -= bytes;
  if (written != nullptr) *written = static_cast<std::uint32_t>(bytes);
  return os::TRUE;
}

int ReadDiskFile(void* handle, void* buffer, std::uint32_t size, std::uint32_t* read) {
  DiskHandle& h = state().handles[reinterpret_cast<std::intptr_t>(handle)];
  Node* n = Find(h.key);
  *read = 0;
  if (n == nullptr || !h.canRead || !n->data) {
    os::SetLastError(kAccessDenied);
    return os::FALSE;
  }
  const std::string& d = *n->data;
  const std::size_t bytes = h.pos < d.size() ? std::min<std::size_t>(size, d.size() - h.pos) : 0;
  std::memcpy(buffer, d.data() + h.pos, bytes);
  h.pos += bytes;
  *read = static_cast<std::uint32_t>(bytes);
  return os::TRUE;
}

}  // namespace fake

namespace os {

using fake::state;

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  const bool failed = fake::Called("GetFileInformationByHandle");
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(file));
  const fake::Node* n = it == state().handles.end() ? nullptr : fake::Find(it->second.key);
  if (n == nullptr || failed) {
    SetLastError(failed ? fake::kAccessDenied : fake::kInvalidHandle);
    return FALSE;
  }
  *info = BY_HANDLE_FILE_INFORMATION{};
  info->dwFileAttributes = fake::Attributes(*n);
  info->nFileSizeLow = n->data ? static_cast<DWORD>(n->data->size()) : 0;
  // Hard links are the names that share the file's bytes.
  info->nNumberOfLinks = 1;
  if (n->data) {
    info->nNumberOfLinks = 0;
    for (const auto& other : state().nodes) info->nNumberOfLinks += other.second.data == n->data ? 1 : 0;
  }
  return TRUE;
}

DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) {
  const bool failed = fake::Called("GetFinalPathNameByHandleA");
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(file));
  if (it == state().handles.end() || failed || flags != 0) {
    SetLastError(failed ? fake::kAccessDenied : fake::kInvalidHandle);
    return 0;
  }
  // The path as the names were first spelled, every link resolved.
  std::string final = "\\\\?\\";
  std::string key;
  for (std::size_t at = 0; at <= it->second.key.size();) {
    std::size_t end = it->second.key.find('\\', at);
    if (end == std::string::npos) end = it->second.key.size();
    key = it->second.key.substr(0, end);
    const fake::Node* n = fake::Find(key);
    final += (at > 0 ? "\\" : "") + (n != nullptr ? n->name : key.substr(at));
    at = end + 1;
  }
  if (final.size() == 6) final += '\\';  // a drive's root
  if (path == nullptr || size <= final.size()) return static_cast<DWORD>(final.size() + 1);
  std::memcpy(path, final.c_str(), final.size() + 1);
  return static_cast<DWORD>(final.size());
}

BOOL SetEndOfFile(HANDLE file) {
  const bool failed = fake::Called("SetEndOfFile");
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(file));
  fake::Node* n = it == state().handles.end() ? nullptr : fake::Find(it->second.key);
  if (n == nullptr || failed || !it->second.canWrite || !n->data) {
    SetLastError(failed || n != nullptr ? fake::kAccessDenied : fake::kInvalidHandle);
    return FALSE;
  }
  n->data->resize(it->second.pos);
  return TRUE;
}

}  // namespace os
