// The fake file system's state and its test-facing side (fake::FileSystem);
// the calls it serves are in the other fake_files_*.cpp (see fake_files_state.h).
#include "fake_files.h"

#include <memory>
#include <stdexcept>

#include "fake_devices.h"
#include "fake_files_state.h"
#include "fake_os.h"

namespace fake {
using namespace detail;
namespace {

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

void Clear(State& s) {
  for (os::FILE* f : s.streams) delete f;
  for (Descriptor* d : s.descriptors) delete d;
  for (char* t : s.descriptorTexts) delete[] t;
  s = State();
  AddChain({"C:"});
  AddChain({"C:", "ProgramData"});
  s.env["ALLUSERSPROFILE"] = "C:\\ProgramData";
}

std::vector<std::string> MustParse(const std::string& path) {
  Parsed p = Parse(path);
  if (p.error != 0) throw std::invalid_argument("fake file system: bad path " + path);
  Resolve(p.parts, false);
  return p.parts;
}

}  // namespace

namespace detail {

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

}  // namespace detail

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

}  // namespace fake
