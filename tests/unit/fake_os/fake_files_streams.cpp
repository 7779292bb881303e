// The fake file system's C runtime streams (os::fopen and the rest).
#include <algorithm>
#include <cstring>

#include "fake_files_state.h"
#include "fake_os.h"
#include "os/files.h"

namespace fake {
using namespace detail;
}  // namespace fake

namespace os {

using fake::state;

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
