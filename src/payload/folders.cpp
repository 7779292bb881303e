#include "payload/folders.h"

#include <cstring>

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

bool DeleteFolderTree(const std::string& path) {
  // An empty path would list the root of the current drive.
  if (path.empty()) return false;

  // A link in the place of the folder goes as a link: the working folder lies
  // where other users can create entries, and this program runs elevated.
  const os::DWORD attributes = os::GetFileAttributesA(path.c_str());
  if (attributes != os::INVALID_FILE_ATTRIBUTES && (attributes & os::FILE_ATTRIBUTE_REPARSE_POINT) &&
      (attributes & os::FILE_ATTRIBUTE_DIRECTORY)) {
    os::RemoveDirectoryA(path.c_str());
    return true;
  }

  const std::string folder = payload::EndsWithBackslash(path) ? path : path + '\\';
  os::WIN32_FIND_DATAA entry;
  {
    os::FindListing listing((folder + "*.*").c_str(), &entry);
    if (!listing) return false;
    do {
      const std::string name = entry.cFileName;
      const std::string child = folder + name;
      const bool isFolder = (entry.dwFileAttributes & os::FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool isLink = (entry.dwFileAttributes & os::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (isFolder) {
        if (name == "." || name == "..") continue;
        if (isLink) {
          os::RemoveDirectoryA(child.c_str());  // the junction, not what it points at
        } else {
          DeleteFolderTree(child);
        }
      } else {
        os::DeleteFileA(child.c_str());  // a file symbolic link goes as a link too
      }
    } while (listing.Next(&entry));
  }
  os::RemoveDirectoryA(path.c_str());
  return true;
}

bool RemoveLinkAt(const std::string& path) {
  const os::DWORD attributes = os::GetFileAttributesA(path.c_str());
  if (attributes == os::INVALID_FILE_ATTRIBUTES || (attributes & os::FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return true;
  }
  if (attributes & os::FILE_ATTRIBUTE_DIRECTORY) {
    os::RemoveDirectoryA(path.c_str());
  } else {
    os::DeleteFileA(path.c_str());
  }
  return os::GetFileAttributesA(path.c_str()) == os::INVALID_FILE_ATTRIBUTES;
}
