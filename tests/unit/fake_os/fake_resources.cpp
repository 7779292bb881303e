#include "fake_resources.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "fake_os.h"
#include "os/resources.h"

namespace fake {
namespace {

struct Block {
  std::string bytes;
};

struct State {
  std::map<std::pair<std::string, int>, std::unique_ptr<Block>> blocks;  // upper-cased type, id
  std::multiset<const void*> loaded;
};

State& state() {
  static State* s = [] {
    auto* created = new State();
    OnReset([created] { *created = State(); });
    return created;
  }();
  return *s;
}

// The module handle of the program; any other module holds no resources.
os::HMODULE Self() { return reinterpret_cast<os::HMODULE>(static_cast<std::uintptr_t>(0x400000)); }

bool IsIntResource(os::LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

}  // namespace

void Resources::Add(const std::string& type, int id, const std::string& bytes) {
  state().blocks[{Upper(type), id}] = std::make_unique<Block>(Block{bytes});
}

int Resources::Loaded() const { return static_cast<int>(state().loaded.size()); }

Resources& resources() {
  static Resources r;
  state();
  return r;
}

}  // namespace fake

namespace os {

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  fake::Called("GetModuleHandleA");
  return moduleName == nullptr ? fake::Self() : nullptr;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (fake::Called("FindResourceA")) return nullptr;
  // A null module means the program's own, as on Windows.
  if ((module != nullptr && module != fake::Self()) || !fake::IsIntResource(name) ||
      fake::IsIntResource(type)) {
    return nullptr;
  }
  const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
  auto it = fake::state().blocks.find({fake::Upper(type), id});
  if (it == fake::state().blocks.end()) {
    SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(it->second.get());
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  if (fake::Called("LoadResource") || resource == nullptr) return nullptr;
  const void* bytes = reinterpret_cast<fake::Block*>(resource)->bytes.data();
  fake::state().loaded.insert(bytes);
  return const_cast<void*>(bytes);
}

void* LockResource(HGLOBAL loaded) {
  if (fake::Called("LockResource")) return nullptr;
  return loaded;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  fake::Called("SizeofResource");
  if (resource == nullptr) return 0;
  return static_cast<DWORD>(reinterpret_cast<fake::Block*>(resource)->bytes.size());
}

BOOL FreeResource(HGLOBAL loaded) {
  fake::Called("FreeResource");
  auto& l = fake::state().loaded;
  auto it = l.find(loaded);
  if (it != l.end()) l.erase(it);
  return FALSE;  // as on 32-bit Windows, where it does nothing
}

}  // namespace os
