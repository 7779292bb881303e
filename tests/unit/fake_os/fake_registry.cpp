#include "fake_registry.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

#include "fake_os.h"
#include "os/files.h"
#include "os/registry.h"

namespace fake {
namespace {

constexpr os::LONG kInvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr os::DWORD kCreatedNewKey = 1;
constexpr os::DWORD kOpenedExistingKey = 2;
constexpr os::REGSAM kQueryValue = 0x0001;
constexpr os::REGSAM kSetValue = 0x0002;
constexpr os::REGSAM kCreateSubKey = 0x0004;
constexpr os::REGSAM kEnumerateSubKeys = 0x0008;
constexpr os::REGSAM kGenericRead = 0x80000000u;
constexpr os::REGSAM kGenericWrite = 0x40000000u;
constexpr os::REGSAM kGenericAll = 0x10000000u;
constexpr os::REGSAM kMaximumAllowed = 0x02000000u;
constexpr os::REGSAM kAllRights = 0xF003F;

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

struct Node {
  std::string name;
  std::string path;  // from HKEY_LOCAL_MACHINE, for messages
  std::vector<std::unique_ptr<Node>> children;  // creation order
  std::vector<std::pair<std::string, RegValue>> values;  // first-write order
  bool denyCreate = false;
  bool readOnly = false;  // its access list grants reading only

  Node* Child(const std::string& n) const {
    for (const auto& c : children) {
      if (SameName(c->name, n)) return c.get();
    }
    return nullptr;
  }
  Node* AddChild(const std::string& n) {
    auto node = std::make_unique<Node>();
    node->name = n;
    node->path = path.empty() ? n : path + "\\" + n;
    children.push_back(std::move(node));
    return children.back().get();
  }
  RegValue* FindValue(const std::string& n) {
    for (auto& v : values) {
      if (SameName(v.first, n)) return &v.second;
    }
    return nullptr;
  }
};

struct OpenKey {
  Node* node;
  os::REGSAM access;
};

struct State {
  Node root;  // HKEY_LOCAL_MACHINE
  std::map<std::uintptr_t, OpenKey> open;
  std::uintptr_t nextHandle = 0x1000;  // never reused within a test, so a stale handle is caught
};

State& state() {
  static State* s = [] {
    auto* created = new State();
    OnReset([created] {
      created->root.children.clear();
      created->root.values.clear();
      created->open.clear();
      created->nextHandle = 0x1000;
    });
    return created;
  }();
  return *s;
}

// Splits "a\b\c" into its names; empty names (doubled or trailing "\") are dropped.
std::vector<std::string> Split(const char* path) {
  std::vector<std::string> parts;
  if (path == nullptr) return parts;
  std::string cur;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += *p;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

Node* Find(Node* from, const std::vector<std::string>& parts) {
  Node* n = from;
  for (const auto& part : parts) {
    if (n == nullptr) return nullptr;
    n = n->Child(part);
  }
  return n;
}

Node* Find(const std::string& path) { return Find(&state().root, Split(path.c_str())); }

Node* MakePath(Node* from, const std::vector<std::string>& parts) {
  Node* n = from;
  for (const auto& part : parts) {
    Node* c = n->Child(part);
    n = c != nullptr ? c : n->AddChild(part);
  }
  return n;
}

Node* MakePath(const std::string& path) { return MakePath(&state().root, Split(path.c_str())); }

os::REGSAM Rights(os::REGSAM access) {
  if (access & (kMaximumAllowed | kGenericAll)) return kAllRights;
  os::REGSAM rights = access;
  if (access & kGenericRead) rights |= os::KEY_READ;
  if (access & kGenericWrite) rights |= os::KEY_WRITE;
  return rights;
}

// The node a handle stands for (the predefined root included), or null.
OpenKey* Resolve(os::HKEY key) {
  static OpenKey root;
  if (key == os::HKEY_LOCAL_MACHINE) {
    root = {&state().root, kAllRights};
    return &root;
  }
  auto it = state().open.find(reinterpret_cast<std::uintptr_t>(key));
  return it == state().open.end() ? nullptr : &it->second;
}

os::HKEY NewHandle(Node* node, os::REGSAM access) {
  State& s = state();
  const std::uintptr_t h = s.nextHandle;
  s.nextHandle += 4;
  s.open[h] = {node, Rights(access)};
  return reinterpret_cast<os::HKEY>(h);
}

os::LONG Open(const char* call, os::HKEY key, os::LPCSTR subKey, os::REGSAM access, os::HKEY* result) {
  const bool failed = Called(call);
  if (result == nullptr) return os::ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKey* parent = Resolve(key);
  if (parent == nullptr) return kInvalidHandle;
  if (failed) return os::ERROR_ACCESS_DENIED;
  const auto parts = Split(subKey);
  if (parts.empty() && key == os::HKEY_LOCAL_MACHINE) {
    *result = key;  // a predefined key is handed back as it is
    return os::ERROR_SUCCESS;
  }
  Node* node = Find(parent->node, parts);
  if (node == nullptr) return os::ERROR_FILE_NOT_FOUND;
  if (node->readOnly) {
    // As the platform checks an access list: what is asked for beyond reading is
    // refused, and "the most allowed" gets reading only.
    if (access & kMaximumAllowed) access = os::KEY_READ;
    if (Rights(access) & ~os::KEY_READ) return os::ERROR_ACCESS_DENIED;
  }
  *result = NewHandle(node, access);
  return os::ERROR_SUCCESS;
}

}  // namespace

void Registry::AddKey(const std::string& path) { MakePath(path); }

void Registry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::string& data) {
  Node* n = MakePath(path);
  if (RegValue* v = n->FindValue(name)) {
    *v = {type, data};
  } else {
    n->values.push_back({name, {type, data}});
  }
}

void Registry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  SetValue(path, name, os::REG_DWORD, bytes);
}

void Registry::SetString(const std::string& path, const std::string& name, const std::string& text) {
  SetValue(path, name, os::REG_SZ, text + std::string(1, '\0'));
}

void Registry::DenyCreate(const std::string& path) { MakePath(path)->denyCreate = true; }
void Registry::ReadOnly(const std::string& path) { MakePath(path)->readOnly = true; }

bool Registry::HasKey(const std::string& path) const { return Find(path) != nullptr; }

bool Registry::HasValue(const std::string& path, const std::string& name) const {
  Node* n = Find(path);
  return n != nullptr && n->FindValue(name) != nullptr;
}

RegValue Registry::Value(const std::string& path, const std::string& name) const {
  Node* n = Find(path);
  RegValue* v = n == nullptr ? nullptr : n->FindValue(name);
  return v == nullptr ? RegValue{} : *v;
}

std::vector<std::string> Registry::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (Node* n = Find(path)) {
    for (const auto& v : n->values) names.push_back(v.first);
  }
  return names;
}

std::vector<std::string> Registry::SubKeys(const std::string& path) const {
  std::vector<std::string> names;
  if (Node* n = Find(path)) {
    for (const auto& c : n->children) names.push_back(c->name);
  }
  return names;
}

int Registry::OpenKeys() const { return static_cast<int>(state().open.size()); }

std::vector<std::string> Registry::OpenKeyPaths() const {
  std::vector<std::string> paths;
  for (const auto& entry : state().open) paths.push_back(entry.second.node->path);
  return paths;
}

Registry& registry() {
  static Registry r;
  state();  // registers the reset
  return r;
}

}  // namespace fake

namespace os {

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, void*, HKEY* result,
                     DWORD* disposition) {
  const bool failed = fake::Called("RegCreateKeyExA");
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  fake::OpenKey* parent = fake::Resolve(key);
  if (parent == nullptr) return fake::kInvalidHandle;
  if (failed) return ERROR_ACCESS_DENIED;
  const auto parts = fake::Split(subKey);
  fake::Node* existing = fake::Find(parent->node, parts);
  if (existing == nullptr && !(parent->access & fake::kCreateSubKey)) return ERROR_ACCESS_DENIED;
  fake::Node* node = existing != nullptr ? existing : fake::MakePath(parent->node, parts);
  if (node->denyCreate) return ERROR_ACCESS_DENIED;
  if (disposition != nullptr) *disposition = existing != nullptr ? fake::kOpenedExistingKey : fake::kCreatedNewKey;
  *result = fake::NewHandle(node, access);
  return ERROR_SUCCESS;
}

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result) {
  return fake::Open("RegOpenKeyA", key, subKey, fake::kMaximumAllowed, result);
}

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, HKEY* result) {
  return fake::Open("RegOpenKeyExA", key, subKey, access, result);
}

namespace {

// The name of subkey `index`, or the error that ends or refuses the enumeration.
LONG SubKeyName(HKEY key, DWORD index, const std::string** name) {
  fake::OpenKey* k = fake::Resolve(key);
  if (k == nullptr) return fake::kInvalidHandle;
  if (!(k->access & fake::kEnumerateSubKeys)) return ERROR_ACCESS_DENIED;
  if (index >= k->node->children.size()) return ERROR_NO_MORE_ITEMS;
  *name = &k->node->children[index]->name;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
  if (fake::Called("RegEnumKeyA")) return ERROR_ACCESS_DENIED;
  const std::string* found = nullptr;
  if (LONG rc = SubKeyName(key, index, &found); rc != ERROR_SUCCESS) return rc;
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  if (found->size() + 1 > nameSize) return ERROR_MORE_DATA;
  std::memcpy(name, found->c_str(), found->size() + 1);
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, LPSTR cls, DWORD* clsSize,
                   FILETIME* lastWriteTime) {
  if (fake::Called("RegEnumKeyExA")) return ERROR_ACCESS_DENIED;
  const std::string* found = nullptr;
  if (LONG rc = SubKeyName(key, index, &found); rc != ERROR_SUCCESS) return rc;
  if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
  if (found->size() + 1 > *nameSize) return ERROR_MORE_DATA;
  std::memcpy(name, found->c_str(), found->size() + 1);
  *nameSize = static_cast<DWORD>(found->size());  // without the terminator
  if (cls != nullptr && clsSize != nullptr && *clsSize > 0) {
    cls[0] = '\0';
    *clsSize = 0;
  }
  if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  const bool failed = fake::Called("RegQueryValueExA");
  fake::OpenKey* k = fake::Resolve(key);
  if (k == nullptr) return fake::kInvalidHandle;
  if (failed || !(k->access & fake::kQueryValue)) return ERROR_ACCESS_DENIED;
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  const fake::RegValue* v = k->node->FindValue(valueName == nullptr ? "" : valueName);
  if (v == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = v->type;
  const DWORD size = static_cast<DWORD>(v->data.size());
  if (dataSize == nullptr) return ERROR_SUCCESS;
  if (data != nullptr) {
    if (*dataSize < size) {
      *dataSize = size;
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, v->data.data(), size);
  }
  *dataSize = size;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  const bool failed = fake::Called("RegSetValueExA");
  fake::OpenKey* k = fake::Resolve(key);
  if (k == nullptr) return fake::kInvalidHandle;
  if (failed || !(k->access & fake::kSetValue)) return ERROR_ACCESS_DENIED;
  if (data == nullptr && dataSize != 0) return ERROR_INVALID_PARAMETER;
  const std::string name = valueName == nullptr ? "" : valueName;
  const std::string bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : dataSize);
  if (fake::RegValue* v = k->node->FindValue(name)) {
    *v = {type, bytes};
  } else {
    k->node->values.push_back({name, {type, bytes}});
  }
  return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
  const bool failed = fake::Called("RegDeleteValueA");
  fake::OpenKey* k = fake::Resolve(key);
  if (k == nullptr) return fake::kInvalidHandle;
  if (failed || !(k->access & fake::kSetValue)) return ERROR_ACCESS_DENIED;
  auto& values = k->node->values;
  for (auto v = values.begin(); v != values.end(); ++v) {
    if (fake::SameName(v->first, valueName == nullptr ? "" : valueName)) {
      values.erase(v);
      return ERROR_SUCCESS;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
  const bool failed = fake::Called("RegCloseKey");
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  auto& open = fake::state().open;
  auto it = open.find(reinterpret_cast<std::uintptr_t>(key));
  if (it == open.end()) return fake::kInvalidHandle;
  open.erase(it);  // a scripted failure still releases the handle: nothing can be retried
  return failed ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

}  // namespace os
