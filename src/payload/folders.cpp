#include "payload/folders.h"

#include <cstring>

#include "common/checked_open.h"
#include "os/devices.h"
#include "os/files.h"
#include "payload/text.h"

namespace {

constexpr std::size_t kFolderBuffer = 260;   // the walk's copy of the path, with its NUL
constexpr std::size_t kFileBuffer = 1024;    // the folder cut from a file path, with its NUL

bool IsFolder(const std::string& path) { return os::PathIsDirectoryA(path.c_str()) != os::FALSE; }

}  // namespace

bool CreateFolderChain(const std::string& path) {
  if (path.empty()) return false;
  if (os::PathFileExistsA(path.c_str())) return IsFolder(path);
  // Only absolute paths with a drive; ':' is never a trail byte, so a plain
  // search is as good as a case-insensitive one.
  if (path.find(':') == std::string::npos) return false;

  std::string walk = path;
  if (!payload::EndsWithBackslash(walk)) walk += '\\';
  // Refuse what the buffer could not hold rather than create a shorter path.
  if (walk.size() + 1 > kFolderBuffer) return false;

  // Each prefix up to and including a backslash: the drive root first, then
  // each deeper folder.
  for (std::string::size_type at = payload::NextBackslash(walk, 0); at != std::string::npos;
       at = payload::NextBackslash(walk, at + 1)) {
    const std::string prefix = walk.substr(0, at + 1);
    if (os::PathFileExistsA(prefix.c_str())) {
      if (!IsFolder(prefix)) return false;
    } else if (!os::CreateDirectoryA(prefix.c_str(), nullptr)) {
      return false;
    }
  }
  return true;
}

bool CreateFolderForFile(const std::string& path) {
  if (path.size() + 1 > kFileBuffer) return false;
  char folder[kFileBuffer] = {};
  std::memcpy(folder, path.c_str(), path.size() + 1);
  os::PathRemoveFileSpecA(folder);
  return CreateFolderChain(folder);
}

namespace {

// Removes a link (junction or symbolic link, of a folder or a file) as a
// name, never what it points at.
bool RemoveLink(const std::string& path, os::DWORD attributes) {
  return (attributes & os::FILE_ATTRIBUTE_DIRECTORY) ? os::RemoveDirectoryA(path.c_str()) != os::FALSE
                                                     : os::DeleteFileA(path.c_str()) != os::FALSE;
}

// Deletes every entry of the folder `path` (held open by the caller); false
// when it cannot be listed. Failed deletions show in the caller's result.
bool DeleteEntries(const std::string& path) {
  const std::string prefix = payload::EndsWithBackslash(path) ? path : path + '\\';
  os::WIN32_FIND_DATAA entry;
  os::FindListing listing((prefix + "*.*").c_str(), &entry);
  if (!listing) return false;
  do {
    const std::string name = entry.cFileName;
    const std::string child = prefix + name;
    if (entry.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT) {
      RemoveLink(child, entry.dwFileAttributes);
    } else if (entry.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") (void)DeleteFolderTree(child);  // what is left fails the folder's own removal
    } else {
      os::DeleteFileA(child.c_str());
    }
  } while (listing.Next(&entry));
  return true;
}

}  // namespace

bool DeleteFolderTree(const std::string& path, bool (*accept)(os::HANDLE)) {
  // An empty path would list the root of the current drive.
  if (path.empty()) return false;

  // The folder is judged by what is opened, not by a name looked up before:
  // opened on the name itself (a link is not followed), first by an open
  // that waits on nobody, so an oplock of whoever made it cannot stall us.
  os::BY_HANDLE_FILE_INFORMATION info{};
  {
    os::OwnedHandle judged(OpenToJudge(path, info));
    if (!judged.valid()) return false;
    if (accept != nullptr && !(IsPlainFolder(info) && accept(judged.get()))) return false;
  }
  // A link in the place of the folder goes as a link.
  if (info.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(path, info.dwFileAttributes);
  if ((info.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  // Only what passed: a folder another program holds without delete sharing
  // (a command still running) refuses DELETE access and is left alone. Only
  // a probe: held while the entries go, DELETE access would refuse the
  // listing's own open.
  if (accept != nullptr) {
    os::OwnedHandle probe(os::CreateFileA(path.c_str(), os::DELETE | os::FILE_READ_ATTRIBUTES,
                                           os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                                           os::FILE_FLAG_BACKUP_SEMANTICS | os::FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!probe.valid()) return false;
  }
  {
    // Held without delete sharing, so it cannot be swapped for a link while its entries go.
    os::OwnedHandle folder(HoldFolderInPlace(path, accept));
    if (!folder.valid() || !DeleteEntries(path)) return false;
  }
  // Whatever could not be deleted keeps the folder, and that is the answer.
  return os::RemoveDirectoryA(path.c_str()) != os::FALSE;
}

bool DeleteFolderContents(const std::string& path) {
  if (path.empty() || !DeleteEntries(path)) return false;
  os::WIN32_FIND_DATAA entry;
  os::FindListing listing((path + "\\*.*").c_str(), &entry);
  if (!listing) return false;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") return false;
  } while (listing.Next(&entry));
  return true;
}

bool ClearFileName(const std::string& path) {
  const os::DWORD attributes = os::GetFileAttributesA(path.c_str());
  if (attributes == os::INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & os::FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(path, attributes);
  if (attributes & os::FILE_ATTRIBUTE_DIRECTORY) return false;
  return os::DeleteFileA(path.c_str()) != os::FALSE;
}
