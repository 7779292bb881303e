// The fake file system: drive-letter paths, "\" and "/" as separators,
// case-insensitive names, files held open by another program, links.
// Starts with "C:\" and the folder of %ALLUSERSPROFILE% ("C:\ProgramData").
#pragma once
#include <string>
#include <vector>

namespace fake {

struct FileSystem {
  // Arrange.
  void AddFolder(const std::string& path);                       // with missing parents
  void AddFile(const std::string& path, const std::string& bytes);  // with missing parents
  void AddLink(const std::string& path, const std::string& target);  // a junction to a folder
  void Lock(const std::string& path);     // held open elsewhere: no delete, no write
  void SetEnv(const std::string& name, const std::string& value);

  // Inspect.
  bool Exists(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  std::string Read(const std::string& path) const;        // a file's bytes ("" if none)
  std::vector<std::string> List(const std::string& folder) const;  // names, in listing order
  std::string CurrentDirectory() const;
};

FileSystem& files();

}  // namespace fake
