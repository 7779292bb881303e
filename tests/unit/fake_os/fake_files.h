// The fake file system: drive-letter paths, "\" and "/" as separators (a
// doubled separator counts as one), "." and ".." resolved as Windows does,
// case-insensitive names, files held open (by another program, or by a stream
// of ours) that cannot be deleted, and links (junctions) that paths pass
// through. Starts with "C:\", "C:\ProgramData", the current folder "C:\" and
// ALLUSERSPROFILE=C:\ProgramData. Listings come in name order, as on NTFS.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace fake {

struct FileSystem {
  // Arrange.
  void AddFolder(const std::string& path);                       // with missing parents
  void AddFile(const std::string& path, const std::string& bytes);  // with missing parents
  // A link at `path` to `target` (absolute): a junction when the target is a
  // folder (or missing), a file symbolic link when it is a file.
  void AddLink(const std::string& path, const std::string& target);
  void Lock(const std::string& path);     // held open elsewhere: no delete, no write
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
  int OpenStreams() const;  // os::fopen streams not yet closed
  int OpenFinds() const;    // FindFirstFileA listings not yet closed
};

FileSystem& files();

}  // namespace fake
