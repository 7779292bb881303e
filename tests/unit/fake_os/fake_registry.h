// The fake registry: a tree of keys under HKEY_LOCAL_MACHINE with typed
// values. Key and value names are case-insensitive; subkeys enumerate in the
// order they were created (the tests rely on that to model a stale and a
// current entry). Open handles are tracked, and a handle carries the access
// it was opened with (a key opened for reading cannot be written).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct RegValue {
  std::uint32_t type = 0;
  std::string data;  // raw bytes as stored (strings with their NUL)
};

struct Registry {
  // Arrange (paths below HKEY_LOCAL_MACHINE, "\"-separated).
  void AddKey(const std::string& path);  // with missing parents
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type, const std::string& data);
  void SetDword(const std::string& path, const std::string& name, std::uint32_t value);
  void SetString(const std::string& path, const std::string& name, const std::string& text);  // REG_SZ + NUL
  void DenyCreate(const std::string& path);  // RegCreateKeyExA of it fails (no rights)
  void ReadOnly(const std::string& path);    // opening it for more than reading fails

  // Inspect.
  bool HasKey(const std::string& path) const;
  bool HasValue(const std::string& path, const std::string& name) const;
  RegValue Value(const std::string& path, const std::string& name) const;  // type 0 and no data if absent
  std::vector<std::string> ValueNames(const std::string& path) const;  // in the order written first
  std::vector<std::string> SubKeys(const std::string& path) const;
  int OpenKeys() const;  // keys opened and not yet closed
  std::vector<std::string> OpenKeyPaths() const;  // their paths, for failure messages
};

Registry& registry();

}  // namespace fake
