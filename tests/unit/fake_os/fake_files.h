// The fake file system: drive-letter paths, "\" and "/" as separators (a
// doubled separator counts as one), "." and ".." resolved as Windows does,
// case-insensitive names, files held open (by another program, or by a stream
// of ours) that cannot be deleted, and links (junctions) that paths pass
// through. Starts with "C:\", "C:\ProgramData", the current folder "C:\" and
// ALLUSERSPROFILE=C:\ProgramData. Listings come in name order, as on NTFS.
// Every entry has an owner (a SID in its short SDDL form: "BA" for the
// Administrators, who own what the program and the arrangement create) and
// the security descriptor text it was created with, if any. Files and
// folders opened with CreateFileA stay open until CloseHandle; an entry open
// without delete sharing cannot be deleted or renamed, nor can a folder with
// anything open below it be renamed. Delete sharing is kept as Windows keeps
// it: an open asking DELETE access fails while a handle without
// FILE_SHARE_DELETE is open, and an open without FILE_SHARE_DELETE fails
// while a handle with DELETE access is. The process runs as kProcessUser.
// A file's link count is the number of names sharing its bytes (AddHardLink).
// Sharing is checked only for opens that ask data or DELETE access, as on
// Windows: an open with attribute or descriptor access only holds nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

// The SID of the user this process runs as (OpenProcessToken, TokenUser).
inline constexpr const char kProcessUser[] = "S-1-5-21-0-0-0-1000";

struct FileSystem {
  // Arrange.
  void AddFolder(const std::string& path);                       // with missing parents
  void AddFile(const std::string& path, const std::string& bytes);  // with missing parents
  // A link at `path` to `target` (absolute): a junction when the target is a
  // folder (or missing), a file symbolic link when it is a file.
  void AddLink(const std::string& path, const std::string& target);
  // A second name (hard link) at `path` for the existing file `existing`: both
  // names share the same bytes.
  void AddHardLink(const std::string& path, const std::string& existing);
  void SetOwner(const std::string& path, const std::string& sid);
  // The descriptor text the entry carries, as if given at its creation.
  void SetSecurity(const std::string& path, const std::string& sddl);
  // Turns the empty folder at `path` into a mount point to `target`, as its
  // owner can while others hold it open as long as every handle on it shares
  // writing; false (nothing changed) when it is no empty plain folder or a
  // handle on it does not share writing. Handles already open stay on it.
  bool MakeMountPoint(const std::string& path, const std::string& target);
  // Another user holds an oplock on the entry at `path`: the first open of it
  // that would break the oplock (any access beyond FILE_READ_ATTRIBUTES,
  // READ_CONTROL and SYNCHRONIZE; listing it, deleting or renaming it, a
  // stream on it) waits for its holder: it is recorded in Waits(), and
  // `meanwhile` (what the holder does before letting go) runs first.
  void Oplock(const std::string& path, std::function<void()> meanwhile = nullptr);
  // The paths (as the caller spelled them) of the opens that waited on an oplock.
  std::vector<std::string> Waits() const;
  // What CreateDirectoryA makes of a descriptor given to it, as Wine does:
  // owned by the process's user, the access list as Unix mode bits read back
  // ("D:(A;OICI;FA;;;SY)(A;OICI;FA;;;<user>)": no protection mark, the user
  // in the Administrators' place).
  void KeepDescriptorsAsWine();
  // The token's default owner (TokenOwner): Wine's user group unless set; "BA"
  // is an elevated Windows token's.
  void SetDefaultOwner(const std::string& sid);
  void Lock(const std::string& path);     // held open by another user: no delete, no write, no rename
  // Held open by another user with DELETE access and full sharing.
  void HoldForDeletion(const std::string& path);
  void SetReadOnly(const std::string& path);  // FILE_ATTRIBUTE_READONLY: no delete, no write
  void SetEnv(const std::string& name, const std::string& value);  // "" removes it
  // Total bytes that writes may still add (a full disk is 0); unlimited by default.
  void SetFreeSpace(std::size_t bytes);
  // At most this many bytes per fwrite call (short writes); unlimited by default.
  void LimitWriteSize(std::size_t bytes);

  // Inspect (no link is followed at the last component).
  bool Exists(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  bool IsLink(const std::string& path) const;
  std::string Read(const std::string& path) const;        // a file's bytes ("" if none)
  std::vector<std::string> List(const std::string& folder) const;  // names, in listing order
  std::string CurrentDirectory() const;
  // Folders made by CreateDirectoryA, as the caller spelled them, in order.
  std::vector<std::string> FoldersCreated() const;
  std::string Owner(const std::string& path) const;
  // The descriptor text given to CreateDirectoryA ("" when none was).
  std::string Security(const std::string& path) const;
  int OpenStreams() const;  // os::fopen streams not yet closed
  int OpenHandles() const;  // CreateFileA handles of files and folders not yet closed
  int LiveDescriptors() const;  // security descriptors not yet given to LocalFree
  int OpenFinds() const;    // FindFirstFileA listings not yet closed
};

FileSystem& files();

// CreateFileA and WriteFile serve devices (paths beginning "\\\\") and the file
// system; these are the file system's part.
bool IsDiskPath(const char* path);
void* OpenDiskFile(const char* path, std::uint32_t access, std::uint32_t shareMode, const void* securityAttributes,
                   std::uint32_t disposition, std::uint32_t flags);
bool IsDiskHandle(void* handle);
int WriteDiskFile(void* handle, const void* buffer, std::uint32_t size, std::uint32_t* written);
int ReadDiskFile(void* handle, void* buffer, std::uint32_t size, std::uint32_t* read);
// Open files and folders whose handles a child started with inheritance gets.
std::vector<void*> InheritableDiskHandles();
bool IsInheritableDiskHandle(void* handle);

}  // namespace fake
