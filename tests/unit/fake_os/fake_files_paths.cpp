// The fake file system's paths: Windows' parsing rules, links followed on the
// way, and the path, attribute and current-folder calls.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "fake_files_state.h"
#include "fake_os.h"
#include "os/files.h"

namespace fake {
using namespace detail;
namespace {

constexpr std::size_t kMaxPath = 260;

bool Lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool InvalidNameChar(unsigned char c) {
  return c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr;
}

}  // namespace

namespace detail {

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

Parsed Parse(const std::string& path, bool wildcardsInLast) {
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

Node* Existing(const Located& l) {
  if (l.node == nullptr) return nullptr;
  if (l.trailingSeparator && !l.node->folder) return nullptr;
  return l.node;
}

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

os::DWORD Attributes(const Node& n) {
  os::DWORD a = n.folder ? os::FILE_ATTRIBUTE_DIRECTORY : os::FILE_ATTRIBUTE_ARCHIVE;
  if (!n.linkTarget.empty()) a |= os::FILE_ATTRIBUTE_REPARSE_POINT;
  if (n.readOnly) a |= os::FILE_ATTRIBUTE_READONLY;
  return a;
}

}  // namespace detail
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

}  // namespace os
