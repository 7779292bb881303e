// The fake file system's entries: making folders, renaming and deleting
// files, folders and links, and listing folders.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>

#include "fake_files.h"
#include "fake_files_state.h"
#include "fake_os.h"
#include "os/files.h"

namespace fake {
using namespace detail;
namespace {

constexpr std::size_t kMaxFolderPath = 248;  // CreateDirectoryA leaves room for an 8.3 name
constexpr os::DWORD kReparseTagMountPoint = 0xA0000003u;

// Whether `key` cannot be renamed: it is open without delete sharing or held
// by another user, or (a folder) anything below it is open at all.
bool OpenAtOrBelow(const std::string& key) {
  for (auto it = state().nodes.lower_bound(key); it != state().nodes.end(); ++it) {
    const bool self = it->first == key;
    if (!self && it->first.compare(0, key.size() + 1, key + "\\") != 0) continue;
    const Node& n = it->second;
    if (n.locked || n.openStreams > 0 || (self ? n.noDeleteSharing : n.handles) > 0) return true;
  }
  return false;
}

os::WIN32_FIND_DATAA FindData(const Node& n, const std::string& name) {
  os::WIN32_FIND_DATAA d{};
  d.dwFileAttributes = Attributes(n);
  if (!n.linkTarget.empty()) d.dwReserved0 = kReparseTagMountPoint;
  if (n.data) d.nFileSizeLow = static_cast<os::DWORD>(n.data->size());
  std::snprintf(d.cFileName, sizeof d.cFileName, "%s", name.c_str());
  return d;
}

bool Match(const char* mask, const char* name) {
  if (*mask == '\0') return *name == '\0';
  if (*mask == '*') return Match(mask + 1, name) || (*name != '\0' && Match(mask, name + 1));
  if (*name == '\0') return false;
  const auto up = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  return (*mask == '?' || up(*mask) == up(*name)) && Match(mask + 1, name + 1);
}

bool MatchesAll(const std::string& mask) { return mask == "*" || mask == "*.*"; }

}  // namespace
}  // namespace fake

namespace os {

using fake::state;

BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* attributes) {
  if (fake::Called("CreateDirectoryA")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::Located l = fake::Locate(path, false);
  if (l.error == 0 && l.key.size() >= fake::kMaxFolderPath) l.error = fake::kFilenameTooLong;
  if (const DWORD error = fake::NewNameError(l)) {
    SetLastError(error);
    return FALSE;
  }
  fake::Node n;
  n.name = l.parts.back();
  n.folder = true;
  if (attributes != nullptr && attributes->lpSecurityDescriptor != nullptr) {
    const auto* d = static_cast<const fake::Descriptor*>(attributes->lpSecurityDescriptor);
    n.owner = d->owner;
    n.security = d->text;
    if (state().wineDescriptors) {
      n.owner = fake::kProcessUser;
      n.security = std::string("D:(A;OICI;FA;;;SY)(A;OICI;FA;;;") + fake::kProcessUser + ")";
    }
  }
  state().nodes[l.key] = n;
  state().created.push_back(path);
  return TRUE;
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD) {
  if (fake::Called("MoveFileExA")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::WaitOnOplock(from, false);
  fake::Located f = fake::Locate(from, false);
  fake::Located t = fake::Locate(to, false);
  fake::Node* n = fake::Existing(f);
  const DWORD error = n == nullptr ? fake::MissingError(f) : fake::NewNameError(t);
  if (error != 0) {
    SetLastError(error);
    return FALSE;
  }
  // Windows refuses to rename a folder while anything below it is open.
  if (fake::OpenAtOrBelow(f.key)) {
    SetLastError(n->folder ? fake::kAccessDenied : fake::kSharingViolation);
    return FALSE;
  }
  std::map<std::string, fake::Node> moved;
  for (auto it = state().nodes.begin(); it != state().nodes.end();) {
    if (it->first == f.key || it->first.compare(0, f.key.size() + 1, f.key + "\\") == 0) {
      moved[t.key + it->first.substr(f.key.size())] = it->second;
      it = state().nodes.erase(it);
    } else {
      ++it;
    }
  }
  moved[t.key].name = t.parts.back();
  state().nodes.insert(moved.begin(), moved.end());
  return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
  if (fake::Called("DeleteFileA")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::WaitOnOplock(path, false);
  fake::Located l = fake::Locate(path, false);
  fake::Node* n = fake::Existing(l);
  if (n == nullptr) {
    SetLastError(fake::MissingError(l));
    return FALSE;
  }
  if (n->folder || n->readOnly) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  if (n->locked || n->openStreams > 0 || n->noDeleteSharing > 0) {
    SetLastError(fake::kSharingViolation);
    return FALSE;
  }
  state().nodes.erase(l.key);
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR path) {
  if (fake::Called("RemoveDirectoryA")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::WaitOnOplock(path, false);
  fake::Located l = fake::Locate(path, false);
  fake::Node* n = fake::Existing(l);
  if (n == nullptr) {
    SetLastError(fake::MissingError(l));
    return FALSE;
  }
  if (!n->folder) {
    SetLastError(fake::kDirectory);
    return FALSE;
  }
  if (l.parts.size() == 1 || n->readOnly) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  if (n->noDeleteSharing > 0) {
    SetLastError(fake::kSharingViolation);
    return FALSE;
  }
  if (n->linkTarget.empty()) {
    if (!fake::ChildKeys(l.key).empty()) {
      SetLastError(fake::kDirNotEmpty);
      return FALSE;
    }
    // The process holds its current folder open.
    const std::string cwd = fake::Key(fake::Parse(state().cwd).parts);
    if (cwd == l.key || cwd.compare(0, l.key.size() + 1, l.key + "\\") == 0 || n->locked) {
      SetLastError(fake::kSharingViolation);
      return FALSE;
    }
  }
  state().nodes.erase(l.key);  // a link goes alone; its target stays
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  if (fake::Called("FindFirstFileA")) {
    SetLastError(fake::kAccessDenied);
    return INVALID_HANDLE_VALUE;
  }
  fake::Parsed p = fake::Parse(pattern, true);
  if (p.error != 0 || p.parts.size() < 2 || p.trailingSeparator) {
    SetLastError(p.error != 0 ? p.error : fake::kFileNotFound);
    return INVALID_HANDLE_VALUE;
  }
  const std::string mask = p.parts.back();
  std::vector<std::string> folderParts(p.parts.begin(), p.parts.end() - 1);
  {
    std::string folderPath;
    for (std::size_t i = 0; i < folderParts.size(); ++i) folderPath += (i > 0 ? "\\" : "") + folderParts[i];
    if (fake::WaitOnOplock(folderParts.size() == 1 ? folderPath + "\\" : folderPath, true)) {
      p = fake::Parse(pattern, true);
      folderParts.assign(p.parts.begin(), p.parts.end() - 1);
    }
  }
  fake::Resolve(folderParts, true);
  const std::string folderKey = fake::Key(folderParts);
  const fake::Node* folder = fake::Find(folderKey);
  if (folder == nullptr || !folder->folder) {
    SetLastError(fake::kPathNotFound);
    return INVALID_HANDLE_VALUE;
  }
  fake::Listing listing;
  if (folderParts.size() > 1 && fake::MatchesAll(mask)) {
    listing.entries.push_back(fake::FindData(*folder, "."));
    listing.entries.push_back(fake::FindData(*folder, ".."));
  }
  for (const std::string& key : fake::ChildKeys(folderKey)) {
    const fake::Node& n = state().nodes[key];
    // "*.*" matches names without a dot too, as on Windows.
    if (fake::MatchesAll(mask) || fake::Match(mask.c_str(), n.name.c_str())) listing.entries.push_back(fake::FindData(n, n.name));
  }
  if (listing.entries.empty()) {
    SetLastError(fake::kFileNotFound);
    return INVALID_HANDLE_VALUE;
  }
  *data = listing.entries[0];
  listing.next = 1;
  const std::intptr_t id = state().nextFind++;
  state().finds[id] = listing;
  return reinterpret_cast<HANDLE>(id);
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  const bool failed = fake::Called("FindNextFileA");
  auto it = state().finds.find(reinterpret_cast<std::intptr_t>(find));
  if (it == state().finds.end()) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return FALSE;
  }
  if (failed) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::Listing& l = it->second;
  if (l.next >= l.entries.size()) {
    SetLastError(fake::kNoMoreFiles);
    return FALSE;
  }
  *data = l.entries[l.next++];
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  fake::Called("FindClose");
  return state().finds.erase(reinterpret_cast<std::intptr_t>(find)) == 1 ? TRUE : FALSE;
}

}  // namespace os
