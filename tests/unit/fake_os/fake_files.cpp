#include "fake_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "fake_devices.h"
#include "fake_os.h"
#include "os/devices.h"
#include "os/files.h"
#include "os/security.h"

namespace os {

// An open stream on a fake file. The bytes are shared with the file, so a
// write is visible at once.
struct FILE {
  std::shared_ptr<std::string> data;
  std::string key;
  std::size_t pos = 0;
  bool canRead = false;
  bool canWrite = false;
  bool append = false;
};

}  // namespace os

namespace fake {
namespace {

// Error codes the fake reports (the platform's values).
constexpr os::DWORD kFileNotFound = 2;
constexpr os::DWORD kPathNotFound = 3;
constexpr os::DWORD kAccessDenied = 5;
constexpr os::DWORD kNoMoreFiles = 18;
constexpr os::DWORD kInvalidHandle = 6;
constexpr os::DWORD kSharingViolation = 32;
constexpr os::DWORD kFileExists = 80;
constexpr os::DWORD kDiskFull = 112;
constexpr os::DWORD kInvalidName = 123;
constexpr os::DWORD kDirNotEmpty = 145;
constexpr os::DWORD kAlreadyExists = 183;
constexpr os::DWORD kFilenameTooLong = 206;
constexpr os::DWORD kDirectory = 267;
constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxFolderPath = 248;  // CreateDirectoryA leaves room for an 8.3 name
constexpr os::DWORD kReparseTagMountPoint = 0xA0000003u;
constexpr std::uint32_t kSynchronize = 0x100000;
// The access that takes part in sharing: data (read, write, append, execute;
// listing a folder is reading it) and DELETE.
constexpr std::uint32_t kSharingAccess = 0x80000000u | 0x40000000u | 0x20000000u | 0x1 | 0x2 | 0x4 | 0x20 | 0x10000;

bool Lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

struct Node {
  std::string name;  // as first spelled
  bool folder = false;
  std::shared_ptr<std::string> data;
  std::string linkTarget;  // non-empty for a link
  bool locked = false;
  bool readOnly = false;
  int openStreams = 0;
  std::string owner = "BA";
  std::string security;  // descriptor text it was created with
  int handles = 0;        // CreateFileA handles open on it
  int noDeleteSharing = 0;  // of those, opened without FILE_SHARE_DELETE
  int deleteAccess = 0;     // handles (ours or another user's) with DELETE access
  // Another user's oplock, and what that user does when an open breaks it.
  std::shared_ptr<std::function<void()>> oplock;
};

// A handle from CreateFileA on a file or folder.
struct DiskHandle {
  std::string key;
  bool canWrite = false;
  bool canRead = false;
  bool sharing = false;  // asked data or DELETE access, so it takes part in sharing
  bool shareWrite = false;
  bool shareDelete = false;
  bool deleteAccess = false;
  bool inheritable = false;  // SECURITY_ATTRIBUTES bInheritHandle
  std::size_t pos = 0;
  bool appends = false;  // FILE_APPEND_DATA without GENERIC_WRITE: every write goes to the end
};

// What ConvertStringSecurityDescriptorToSecurityDescriptorA and
// GetSecurityInfo hand out; a PSID points at `owner`.
struct Descriptor {
  std::string owner;
  std::string text;
};

struct Listing {
  std::vector<os::WIN32_FIND_DATAA> entries;
  std::size_t next = 0;
};

struct State {
  std::map<std::string, Node> nodes;  // by upper-cased full path, "C:" for a root
  std::map<std::string, std::string> env;  // upper-cased name -> value
  std::string cwd = "C:\\";
  std::size_t freeSpace = SIZE_MAX;
  std::size_t writeLimit = SIZE_MAX;
  std::vector<std::string> created;
  std::map<std::intptr_t, Listing> finds;
  std::intptr_t nextFind = 0x1000;
  std::set<os::FILE*> streams;
  std::map<std::intptr_t, DiskHandle> handles;
  std::intptr_t nextHandle = 0x30000;
  std::set<Descriptor*> descriptors;
  std::set<char*> descriptorTexts;  // from ConvertSecurityDescriptorToStringSecurityDescriptorA
  std::string defaultOwner = "S-1-5-21-0-0-0-513";
  std::vector<std::string> waits;  // opens that waited on an oplock
  bool wineDescriptors = false;
};

State& state();

// Upper-cases ASCII letters outside double-byte characters.
std::string Key(const std::vector<std::string>& parts) {
  std::string key;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) key += '\\';
    const std::string& p = parts[i];
    for (std::size_t j = 0; j < p.size(); ++j) {
      const unsigned char c = static_cast<unsigned char>(p[j]);
      if (Lead(c) && j + 1 < p.size()) {
        key += p[j];
        key += p[++j];
      } else {
        key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : p[j];
      }
    }
  }
  return key;
}

bool InvalidNameChar(unsigned char c) {
  return c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr;
}

struct Parsed {
  std::vector<std::string> parts;  // drive ("C:") first
  bool trailingSeparator = false;
  os::DWORD error = 0;
};

// Splits a path into its components the way Windows normalises it: "/" is a
// separator, separators run together, "." is dropped, ".." climbs (never above
// the root), trailing dots and spaces of a name are dropped, a relative path
// starts at the current folder. Double-byte characters are never split.
Parsed Parse(const std::string& path, bool wildcardsInLast = false) {
  Parsed r;
  if (path.empty()) {
    r.error = kPathNotFound;
    return r;
  }
  if (path.size() >= kMaxPath) {
    r.error = kFilenameTooLong;
    return r;
  }
  std::string full;
  const auto isSep = [](char c) { return c == '\\' || c == '/'; };
  if (isSep(path[0]) && path.size() > 1 && isSep(path[1])) {
    r.error = kInvalidName;  // UNC and device paths are not modelled
    return r;
  }
  const std::string& cwd = state().cwd;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    const std::string drive = std::string(1, static_cast<char>(std::toupper(path[0]))) + ":";
    std::string rest = path.substr(2);
    if (!rest.empty() && isSep(rest[0])) {
      full = drive + rest;
    } else if (Key({cwd.substr(0, 2)}) == drive) {
      full = cwd + "\\" + rest;
    } else {
      full = drive + "\\" + rest;
    }
  } else if (isSep(path[0])) {
    full = cwd.substr(0, 2) + path;
  } else {
    full = cwd + "\\" + path;
  }
  r.trailingSeparator = isSep(path.back());
  std::vector<std::string> raw;
  std::string cur;
  for (std::size_t i = 0; i < full.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(full[i]);
    if (Lead(c) && i + 1 < full.size()) {
      cur += full[i];
      cur += full[++i];
    } else if (isSep(full[i])) {
      raw.push_back(cur);
      cur.clear();
    } else {
      cur += full[i];
    }
  }
  raw.push_back(cur);
  r.parts.push_back(raw[0]);
  for (std::size_t i = 1; i < raw.size(); ++i) {
    std::string part = raw[i];
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (r.parts.size() > 1) r.parts.pop_back();
      continue;
    }
    if (part.find_first_not_of('.') == std::string::npos) continue;
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    const bool last = i + 1 == raw.size() || (i + 2 == raw.size() && raw.back().empty());
    for (std::size_t j = 0; j < part.size(); ++j) {
      const unsigned char c = static_cast<unsigned char>(part[j]);
      if (Lead(c)) {
        ++j;
        continue;
      }
      if (wildcardsInLast && last && (c == '*' || c == '?')) continue;
      if (InvalidNameChar(c)) {
        r.error = kInvalidName;
        return r;
      }
    }
    r.parts.push_back(part);
  }
  if (Key(r.parts).size() >= kMaxPath) r.error = kFilenameTooLong;
  return r;
}

Node* Find(const std::string& key) {
  auto it = state().nodes.find(key);
  return it == state().nodes.end() ? nullptr : &it->second;
}

// Follows links through every component but the last (and the last too when
// asked). Returns the resolved components; error when a link loops.
bool Resolve(std::vector<std::string>& parts, bool followLast) {
  for (int hops = 0; hops < 32; ++hops) {
    bool changed = false;
    for (std::size_t i = 1; i <= parts.size(); ++i) {
      if (i == parts.size() && !followLast) break;
      Node* n = Find(Key(std::vector<std::string>(parts.begin(), parts.begin() + i)));
      if (n == nullptr) return true;
      if (n->linkTarget.empty()) continue;
      Parsed t = Parse(n->linkTarget);
      if (t.error != 0) return false;
      t.parts.insert(t.parts.end(), parts.begin() + i, parts.end());
      parts = t.parts;
      changed = true;
      break;
    }
    if (!changed) return true;
  }
  return false;
}

struct Located {
  std::vector<std::string> parts;
  std::string key;
  Node* node = nullptr;
  Node* parent = nullptr;  // the folder that would hold it
  bool trailingSeparator = false;
  os::DWORD error = 0;
};

Located Locate(const std::string& path, bool followLast) {
  Located l;
  Parsed p = Parse(path);
  if (p.error != 0) {
    l.error = p.error;
    return l;
  }
  if (!Resolve(p.parts, followLast)) {
    l.error = kInvalidName;
    return l;
  }
  l.parts = p.parts;
  l.trailingSeparator = p.trailingSeparator;
  l.key = Key(p.parts);
  l.node = Find(l.key);
  if (p.parts.size() > 1) {
    std::vector<std::string> up(p.parts.begin(), p.parts.end() - 1);
    Resolve(up, true);
    Node* parent = Find(Key(up));
    if (parent != nullptr && parent->folder) l.parent = parent;
  }
  return l;
}

// A file named with a trailing separator does not exist.
Node* Existing(const Located& l) {
  if (l.node == nullptr) return nullptr;
  if (l.trailingSeparator && !l.node->folder) return nullptr;
  return l.node;
}

// Why nothing new can be made at `l` (0 when it can).
os::DWORD NewNameError(const Located& l) {
  if (l.error != 0) return l.error;
  if (l.node != nullptr) return kAlreadyExists;
  return l.parent == nullptr ? kPathNotFound : 0;
}

os::DWORD MissingError(const Located& l) {
  if (l.error != 0) return l.error;
  return l.parent == nullptr ? kPathNotFound : kFileNotFound;
}

std::vector<std::string> ChildKeys(const std::string& key) {
  std::vector<std::string> out;
  const std::string prefix = key + "\\";
  for (auto it = state().nodes.lower_bound(prefix);
       it != state().nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.find('\\', prefix.size()) == std::string::npos) out.push_back(it->first);
  }
  return out;
}

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

void AddChain(const std::vector<std::string>& parts) {
  for (std::size_t i = 1; i <= parts.size(); ++i) {
    std::vector<std::string> sub(parts.begin(), parts.begin() + i);
    const std::string key = Key(sub);
    if (Find(key) == nullptr) {
      Node n;
      n.name = sub.back();
      n.folder = true;
      state().nodes[key] = n;
    }
  }
}

os::DWORD Attributes(const Node& n) {
  os::DWORD a = n.folder ? os::FILE_ATTRIBUTE_DIRECTORY : os::FILE_ATTRIBUTE_ARCHIVE;
  if (!n.linkTarget.empty()) a |= os::FILE_ATTRIBUTE_REPARSE_POINT;
  if (n.readOnly) a |= os::FILE_ATTRIBUTE_READONLY;
  return a;
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

// An open of `path` that breaks the oplock on the entry there waits for its
// holder, who acts meanwhile; true when it waited (the entry may have changed).
bool WaitOnOplock(const std::string& path, bool followLast);

void Clear(State& s) {
  for (os::FILE* f : s.streams) delete f;
  for (Descriptor* d : s.descriptors) delete d;
  for (char* t : s.descriptorTexts) delete[] t;
  s = State();
  AddChain({"C:"});
  AddChain({"C:", "ProgramData"});
  s.env["ALLUSERSPROFILE"] = "C:\\ProgramData";
}

State& state() {
  static State* s = [] {
    auto* created = new State();
    OnReset([created] { Clear(*created); });
    AddHandleOwner({nullptr, [created](void* handle) {
                      auto it = created->handles.find(reinterpret_cast<std::intptr_t>(handle));
                      if (it == created->handles.end()) return false;
                      auto node = created->nodes.find(it->second.key);
                      if (node != created->nodes.end()) {
                        --node->second.handles;
                        if (it->second.sharing && !it->second.shareDelete) --node->second.noDeleteSharing;
                        if (it->second.sharing && it->second.deleteAccess) --node->second.deleteAccess;
                      }
                      created->handles.erase(it);
                      return true;
                    }});
    return created;
  }();
  static bool seeded = false;
  if (!seeded) {
    seeded = true;
    Clear(*s);
  }
  return *s;
}

std::vector<std::string> MustParse(const std::string& path) {
  Parsed p = Parse(path);
  if (p.error != 0) throw std::invalid_argument("fake file system: bad path " + path);
  Resolve(p.parts, false);
  return p.parts;
}

bool WaitOnOplock(const std::string& path, bool followLast) {
  Node* n = Existing(Locate(path, followLast));
  if (n == nullptr || !n->oplock) return false;
  const std::shared_ptr<std::function<void()>> meanwhile = n->oplock;
  n->oplock.reset();
  state().waits.push_back(path);
  if (*meanwhile) (*meanwhile)();
  return true;
}

}  // namespace

void FileSystem::AddFolder(const std::string& path) { AddChain(MustParse(path)); }

void FileSystem::AddFile(const std::string& path, const std::string& bytes) {
  std::vector<std::string> parts = MustParse(path);
  AddChain(std::vector<std::string>(parts.begin(), parts.end() - 1));
  Node n;
  n.name = parts.back();
  n.data = std::make_shared<std::string>(bytes);
  state().nodes[Key(parts)] = n;
}

void FileSystem::AddLink(const std::string& path, const std::string& target) {
  std::vector<std::string> parts = MustParse(path);
  AddChain(std::vector<std::string>(parts.begin(), parts.end() - 1));
  Located t = Locate(target, true);
  Node n;
  n.name = parts.back();
  n.folder = t.node == nullptr || t.node->folder;
  n.linkTarget = target;
  state().nodes[Key(parts)] = n;
}

void FileSystem::AddHardLink(const std::string& path, const std::string& existing) {
  Node* target = Find(Key(MustParse(existing)));
  if (target == nullptr || !target->data) throw std::invalid_argument("fake file system: no file " + existing);
  std::vector<std::string> parts = MustParse(path);
  AddChain(std::vector<std::string>(parts.begin(), parts.end() - 1));
  Node n = *target;
  n.name = parts.back();
  n.handles = n.noDeleteSharing = n.openStreams = 0;
  state().nodes[Key(parts)] = n;
}

void FileSystem::SetOwner(const std::string& path, const std::string& sid) {
  if (Node* n = Find(Key(MustParse(path)))) n->owner = sid;
}

void FileSystem::SetSecurity(const std::string& path, const std::string& sddl) {
  if (Node* n = Find(Key(MustParse(path)))) n->security = sddl;
}

bool FileSystem::MakeMountPoint(const std::string& path, const std::string& target) {
  const std::string key = Key(MustParse(path));
  Node* n = Find(key);
  if (n == nullptr || !n->folder || !n->linkTarget.empty() || !ChildKeys(key).empty()) return false;
  for (const auto& h : state().handles) {
    if (h.second.key == key && h.second.sharing && !h.second.shareWrite) return false;
  }
  n->linkTarget = target;
  return true;
}

void FileSystem::Oplock(const std::string& path, std::function<void()> meanwhile) {
  if (Node* n = Find(Key(MustParse(path)))) n->oplock = std::make_shared<std::function<void()>>(std::move(meanwhile));
}

std::vector<std::string> FileSystem::Waits() const { return state().waits; }

void FileSystem::KeepDescriptorsAsWine() { state().wineDescriptors = true; }

void FileSystem::SetDefaultOwner(const std::string& sid) { state().defaultOwner = sid; }

std::string FileSystem::Owner(const std::string& path) const {
  const Node* n = Existing(Locate(path, false));
  return n != nullptr ? n->owner : std::string();
}

std::string FileSystem::Security(const std::string& path) const {
  const Node* n = Existing(Locate(path, false));
  return n != nullptr ? n->security : std::string();
}

int FileSystem::OpenHandles() const { return static_cast<int>(state().handles.size()); }
int FileSystem::LiveDescriptors() const {
  return static_cast<int>(state().descriptors.size() + state().descriptorTexts.size());
}

void FileSystem::Lock(const std::string& path) {
  if (Node* n = Find(Key(MustParse(path)))) n->locked = true;
}

void FileSystem::HoldForDeletion(const std::string& path) {
  if (Node* n = Find(Key(MustParse(path)))) ++n->deleteAccess;
}

void FileSystem::SetReadOnly(const std::string& path) {
  if (Node* n = Find(Key(MustParse(path)))) n->readOnly = true;
}

void FileSystem::SetEnv(const std::string& name, const std::string& value) {
  const std::string key = Key({name});
  if (value.empty()) {
    state().env.erase(key);
  } else {
    state().env[key] = value;
  }
}

void FileSystem::SetFreeSpace(std::size_t bytes) { state().freeSpace = bytes; }
void FileSystem::LimitWriteSize(std::size_t bytes) { state().writeLimit = bytes; }

bool FileSystem::Exists(const std::string& path) const {
  return Existing(Locate(path, false)) != nullptr;
}

bool FileSystem::IsFolder(const std::string& path) const {
  const Node* n = Existing(Locate(path, false));
  return n != nullptr && n->folder;
}

bool FileSystem::IsLink(const std::string& path) const {
  const Node* n = Existing(Locate(path, false));
  return n != nullptr && !n->linkTarget.empty();
}

std::string FileSystem::Read(const std::string& path) const {
  const Node* n = Existing(Locate(path, true));
  return n != nullptr && n->data ? *n->data : std::string();
}

std::vector<std::string> FileSystem::List(const std::string& folder) const {
  std::vector<std::string> names;
  Located l = Locate(folder, true);
  if (Existing(l) == nullptr) return names;
  for (const std::string& key : ChildKeys(l.key)) names.push_back(state().nodes[key].name);
  return names;
}

std::string FileSystem::CurrentDirectory() const { return state().cwd; }
std::vector<std::string> FileSystem::FoldersCreated() const { return state().created; }
int FileSystem::OpenStreams() const { return static_cast<int>(state().streams.size()); }
int FileSystem::OpenFinds() const { return static_cast<int>(state().finds.size()); }

FileSystem& files() {
  static FileSystem fs;
  state();  // registers the reset
  return fs;
}

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

DWORD ExpandEnvironmentStringsA(LPCSTR src, LPSTR dst, DWORD size) {
  if (fake::Called("ExpandEnvironmentStringsA")) {
    SetLastError(fake::kAccessDenied);
    return 0;
  }
  std::string out;
  const std::string in = src;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '%') {
      const std::size_t end = in.find('%', i + 1);
      if (end != std::string::npos && end > i + 1) {
        auto it = state().env.find(fake::Key({in.substr(i + 1, end - i - 1)}));
        if (it != state().env.end()) {
          out += it->second;
          i = end;
          continue;
        }
      }
    }
    out += in[i];
  }
  const DWORD needed = static_cast<DWORD>(out.size() + 1);
  if (dst != nullptr && size > 0) {
    // Too small a buffer gets the first bytes, without a terminating NUL.
    std::memcpy(dst, out.c_str(), std::min<std::size_t>(size, needed));
  }
  return needed;
}

BOOL IsDBCSLeadByte(BYTE byte) { return fake::Lead(byte) ? TRUE : FALSE; }

DWORD GetFileAttributesA(LPCSTR path) {
  if (fake::Called("GetFileAttributesA")) {
    SetLastError(fake::kAccessDenied);
    return INVALID_FILE_ATTRIBUTES;
  }
  fake::Located l = fake::Locate(path, false);
  const fake::Node* n = fake::Existing(l);
  if (n == nullptr) {
    SetLastError(fake::MissingError(l));
    return INVALID_FILE_ATTRIBUTES;
  }
  return fake::Attributes(*n);
}

BOOL PathFileExistsA(LPCSTR path) {
  if (fake::Called("PathFileExistsA") || path == nullptr) return FALSE;
  return fake::Existing(fake::Locate(path, false)) != nullptr ? TRUE : FALSE;
}

BOOL PathIsDirectoryA(LPCSTR path) {
  if (fake::Called("PathIsDirectoryA") || path == nullptr) return FALSE;
  const fake::Node* n = fake::Existing(fake::Locate(path, false));
  return n != nullptr && n->folder ? static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY) : FALSE;
}

// The shell's string operation: cuts at the last "\" (skipping double-byte
// characters), keeps "C:\" and a leading "\" whole.
BOOL PathRemoveFileSpecA(LPSTR path) {
  fake::Called("PathRemoveFileSpecA");
  if (path == nullptr) return FALSE;
  char* p = path;
  char* cut = p;
  if (*p == '\\') cut = ++p;
  if (*p == '\\') cut = ++p;
  while (*p != '\0') {
    if (*p == '\\') {
      cut = p;
    } else if (*p == ':') {
      cut = ++p;
      if (*p == '\\') ++cut;
      if (*p == '\0') break;
    }
    if (fake::Lead(static_cast<unsigned char>(*p)) && p[1] != '\0') ++p;
    ++p;
  }
  if (*cut != '\0') {
    *cut = '\0';
    return TRUE;
  }
  return FALSE;
}

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

DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
  const bool failed = fake::Called("GetFullPathNameA");
  fake::Parsed p = fake::Parse(name);
  if (failed || p.error != 0) {
    SetLastError(failed ? fake::kAccessDenied : p.error);
    return 0;
  }
  std::string full;
  for (std::size_t i = 0; i < p.parts.size(); ++i) full += (i > 0 ? "\\" : "") + p.parts[i];
  if (p.parts.size() == 1 || p.trailingSeparator) full += '\\';
  if (buffer == nullptr || size <= full.size()) return static_cast<DWORD>(full.size() + 1);
  std::memcpy(buffer, full.c_str(), full.size() + 1);
  if (filePart != nullptr) *filePart = nullptr;
  return static_cast<DWORD>(full.size());
}

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                                          unsigned long* size) {
  if (fake::Called("ConvertStringSecurityDescriptorToSecurityDescriptorA") || revision != SDDL_REVISION_1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string t = text;
  auto* d = new fake::Descriptor{"", t};
  if (t.compare(0, 2, "O:") == 0) d->owner = t.substr(2, t.find(':', 2) == std::string::npos ? std::string::npos : t.find(':', 2) - 3);
  state().descriptors.insert(d);
  *descriptor = d;
  if (size != nullptr) *size = static_cast<unsigned long>(t.size());
  return TRUE;
}

DWORD GetSecurityInfo(HANDLE handle, int objectType, DWORD information, PSID* owner, PSID*, void**, void**,
                      PSECURITY_DESCRIPTOR* descriptor) {
  if (fake::Called("GetSecurityInfo")) return fake::kAccessDenied;
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(handle));
  const fake::Node* n = it == state().handles.end() ? nullptr : fake::Find(it->second.key);
  if (n == nullptr || objectType != SE_FILE_OBJECT) return fake::kInvalidHandle;
  auto* d = new fake::Descriptor{n->owner, n->security};
  state().descriptors.insert(d);
  if (owner != nullptr) *owner = (information & OWNER_SECURITY_INFORMATION) ? &d->owner : nullptr;
  *descriptor = d;
  return ERROR_SUCCESS;
}

BOOL ConvertSecurityDescriptorToStringSecurityDescriptorA(PSECURITY_DESCRIPTOR descriptor, DWORD revision,
                                                          DWORD information, LPSTR* text, unsigned long* size) {
  auto* d = static_cast<fake::Descriptor*>(descriptor);
  if (fake::Called("ConvertSecurityDescriptorToStringSecurityDescriptorA") || revision != SDDL_REVISION_1 ||
      state().descriptors.count(d) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The owner as the entry has it; the access list as it was given.
  std::string out;
  if (information & OWNER_SECURITY_INFORMATION) out += "O:" + d->owner;
  const std::size_t list = d->text.find("D:");
  if ((information & DACL_SECURITY_INFORMATION) && list != std::string::npos) out += d->text.substr(list);
  char* copy = new char[out.size() + 1];
  std::memcpy(copy, out.c_str(), out.size() + 1);
  state().descriptorTexts.insert(copy);
  *text = copy;
  if (size != nullptr) *size = static_cast<unsigned long>(out.size() + 1);
  return TRUE;
}

BOOL IsWellKnownSid(PSID sid, int wellKnownType) {
  const std::string& s = *static_cast<const std::string*>(sid);
  return (wellKnownType == WinBuiltinAdministratorsSid && s == "BA") || (wellKnownType == WinLocalSystemSid && s == "SY");
}

BOOL EqualSid(PSID first, PSID second) {
  return *static_cast<const std::string*>(first) == *static_cast<const std::string*>(second) ? TRUE : FALSE;
}

// A token is a handle on no file; it counts among the open handles until closed.
BOOL OpenProcessToken(HANDLE, DWORD, HANDLE* token) {
  if (fake::Called("OpenProcessToken")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  const std::intptr_t id = state().nextHandle;
  state().nextHandle += 4;
  state().handles[id] = fake::DiskHandle{"<token>"};
  *token = reinterpret_cast<HANDLE>(id);
  return TRUE;
}

BOOL GetTokenInformation(HANDLE token, int informationClass, void* buffer, DWORD size, DWORD* returned) {
  static std::string user = fake::kProcessUser;
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(token));
  if (fake::Called("GetTokenInformation") || it == state().handles.end() || it->second.key != "<token>" ||
      (informationClass != TokenUser && informationClass != TokenOwner)) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  const DWORD needed = informationClass == TokenUser ? sizeof(TOKEN_USER) : sizeof(TOKEN_OWNER);
  *returned = needed;
  if (buffer == nullptr || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (informationClass == TokenUser) {
    static_cast<TOKEN_USER*>(buffer)->User = SID_AND_ATTRIBUTES{&user, 0};
  } else {
    static_cast<TOKEN_OWNER*>(buffer)->Owner = &state().defaultOwner;
  }
  return TRUE;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (state().descriptorTexts.erase(static_cast<char*>(memory)) == 1) {
    delete[] static_cast<char*>(memory);
    return nullptr;
  }
  auto* d = static_cast<fake::Descriptor*>(memory);
  if (state().descriptors.erase(d) == 1) delete d;
  return nullptr;
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

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  if (fake::Called("GetCurrentDirectoryA")) return 0;
  const std::string& cwd = state().cwd;
  if (size < cwd.size() + 1 || buffer == nullptr) return static_cast<DWORD>(cwd.size() + 1);
  std::memcpy(buffer, cwd.c_str(), cwd.size() + 1);
  return static_cast<DWORD>(cwd.size());
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  if (fake::Called("SetCurrentDirectoryA")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  fake::Located l = fake::Locate(path, true);
  const fake::Node* n = fake::Existing(l);
  if (n == nullptr || !n->folder) {
    SetLastError(n == nullptr ? fake::MissingError(l) : fake::kDirectory);
    return FALSE;
  }
  // Kept as Windows keeps it: the full path, with a backslash only at a root.
  std::string cwd;
  for (std::size_t i = 0; i < l.parts.size(); ++i) cwd += (i ? "\\" : "") + l.parts[i];
  if (l.parts.size() == 1) cwd += "\\";
  state().cwd = cwd;
  return TRUE;
}

FILE* fopen(const char* path, const char* mode) {
  if (fake::Called("fopen") || path == nullptr || mode == nullptr) return nullptr;
  const char kind = mode[0];
  const bool plus = std::strchr(mode, '+') != nullptr;
  if (kind != 'r' && kind != 'w' && kind != 'a') return nullptr;
  fake::WaitOnOplock(path, true);
  fake::Located l = fake::Locate(path, true);
  if (l.error != 0 || l.trailingSeparator) return nullptr;
  fake::Node* n = l.node;
  if (n != nullptr && n->folder) return nullptr;
  if (kind == 'r') {
    if (n == nullptr) return nullptr;
    if (plus && (n->locked || n->readOnly)) return nullptr;
  } else {
    if (n != nullptr && (n->locked || n->readOnly)) return nullptr;
    if (n == nullptr) {
      if (l.parent == nullptr) return nullptr;
      fake::Node created;
      created.name = l.parts.back();
      created.data = std::make_shared<std::string>();
      n = &(state().nodes[l.key] = created);
    }
    if (kind == 'w') n->data->clear();
  }
  auto* f = new FILE;
  f->data = n->data;
  f->key = l.key;
  f->canRead = kind == 'r' || plus;
  f->canWrite = kind != 'r' || plus;
  f->append = kind == 'a';
  ++n->openStreams;
  state().streams.insert(f);
  return f;
}

std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* f) {
  if (fake::Called("fread") || !f->canRead || size == 0) return 0;
  const std::string& d = *f->data;
  const std::size_t avail = f->pos < d.size() ? d.size() - f->pos : 0;
  const std::size_t items = std::min(count, avail / size);
  std::memcpy(buffer, d.data() + f->pos, items * size);
  f->pos += items * size;
  return items;
}

std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count, FILE* f) {
  if (fake::Called("fwrite") || !f->canWrite || size == 0) return 0;
  std::size_t bytes = std::min({size * count, state().freeSpace, state().writeLimit});
  const std::size_t items = bytes / size;
  bytes = items * size;
  std::string& d = *f->data;
  if (f->append) f->pos = d.size();
  if (d.size() < f->pos + bytes) d.resize(f->pos + bytes, '\0');
  d.replace(f->pos, bytes, static_cast<const char*>(buffer), bytes);
  f->pos += bytes;
  if (state().freeSpace != SIZE_MAX) state().freeSpace -= bytes;
  return items;
}

int fseek(FILE* f, long offset, int origin) {
  if (fake::Called("fseek")) return -1;
  long base = 0;
  if (origin == 1) {
    base = static_cast<long>(f->pos);
  } else if (origin == 2) {
    base = static_cast<long>(f->data->size());
  } else if (origin != 0) {
    return -1;
  }
  if (base + offset < 0) return -1;
  f->pos = static_cast<std::size_t>(base + offset);
  return 0;
}

long ftell(FILE* f) {
  if (fake::Called("ftell")) return -1;
  return static_cast<long>(f->pos);
}

int fclose(FILE* f) {
  // A scripted failure is a flush that failed: the stream is closed all the same.
  const bool failed = fake::Called("fclose");
  if (state().streams.erase(f) == 0) return -1;
  if (fake::Node* n = fake::Find(f->key)) --n->openStreams;
  delete f;
  return failed ? -1 : 0;
}

}  // namespace os
