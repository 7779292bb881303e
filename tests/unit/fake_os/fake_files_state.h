// The records and path helpers that the pieces of the fake file system share:
// fake_files.cpp (the test-facing FileSystem and the state), fake_files_paths.cpp,
// fake_files_sharing.cpp (handles), fake_files_entries.cpp (make, rename,
// delete, list), fake_files_security.cpp and fake_files_streams.cpp. Internal
// to them: tests include fake_files.h. Each piece brings these names into
// namespace fake (`using namespace detail;`), so its code names them as
// fake::Key, fake::Node and so on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "os/files.h"

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
namespace detail {

// Error codes the fake reports (the platform's values).
inline constexpr os::DWORD kFileNotFound = 2;
inline constexpr os::DWORD kPathNotFound = 3;
inline constexpr os::DWORD kAccessDenied = 5;
inline constexpr os::DWORD kNoMoreFiles = 18;
inline constexpr os::DWORD kInvalidHandle = 6;
inline constexpr os::DWORD kSharingViolation = 32;
inline constexpr os::DWORD kFileExists = 80;
inline constexpr os::DWORD kDiskFull = 112;
inline constexpr os::DWORD kInvalidName = 123;
inline constexpr os::DWORD kDirNotEmpty = 145;
inline constexpr os::DWORD kAlreadyExists = 183;
inline constexpr os::DWORD kFilenameTooLong = 206;
inline constexpr os::DWORD kDirectory = 267;

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
std::string Key(const std::vector<std::string>& parts);

struct Parsed {
  std::vector<std::string> parts;  // drive ("C:") first
  bool trailingSeparator = false;
  os::DWORD error = 0;
};

// Splits a path into its components the way Windows normalises it: "/" is a
// separator, separators run together, "." is dropped, ".." climbs (never above
// the root), trailing dots and spaces of a name are dropped, a relative path
// starts at the current folder. Double-byte characters are never split.
Parsed Parse(const std::string& path, bool wildcardsInLast = false);

Node* Find(const std::string& key);

// Follows links through every component but the last (and the last too when
// asked). Returns the resolved components; error when a link loops.
bool Resolve(std::vector<std::string>& parts, bool followLast);

struct Located {
  std::vector<std::string> parts;
  std::string key;
  Node* node = nullptr;
  Node* parent = nullptr;  // the folder that would hold it
  bool trailingSeparator = false;
  os::DWORD error = 0;
};

Located Locate(const std::string& path, bool followLast);

// A file named with a trailing separator does not exist.
Node* Existing(const Located& l);

// Why nothing new can be made at `l` (0 when it can).
os::DWORD NewNameError(const Located& l);

os::DWORD MissingError(const Located& l);

// The keys of the entries directly inside the folder `key`, in key order.
std::vector<std::string> ChildKeys(const std::string& key);

os::DWORD Attributes(const Node& n);

// An open of `path` that breaks the oplock on the entry there waits for its
// holder, who acts meanwhile; true when it waited (the entry may have changed).
bool WaitOnOplock(const std::string& path, bool followLast);

}  // namespace detail
}  // namespace fake
