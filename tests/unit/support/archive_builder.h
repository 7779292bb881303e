// Builds zip archives in memory with minizip's own writer, so the extraction
// tests run against genuine archives without touching the disk.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ioapi.h"
#include "zip.h"

struct ArchiveEntry {
  std::string name;
  std::string bytes;
  bool folder = false;  // stored, size 0, attribute 0x10; files are deflated with 0x20
};

namespace archive_builder {

struct MemoryStream {
  std::string* bytes;
  std::size_t pos = 0;
};

inline voidpf ZCALLBACK Open(voidpf opaque, const void*, int) {
  static_cast<std::string*>(opaque)->clear();
  return new MemoryStream{static_cast<std::string*>(opaque)};
}
inline uLong ZCALLBACK Read(voidpf, voidpf s, void* buf, uLong size) {
  auto* m = static_cast<MemoryStream*>(s);
  const std::size_t n = std::min<std::size_t>(size, m->bytes->size() - std::min(m->pos, m->bytes->size()));
  std::memcpy(buf, m->bytes->data() + m->pos, n);
  m->pos += n;
  return static_cast<uLong>(n);
}
inline uLong ZCALLBACK Write(voidpf, voidpf s, const void* buf, uLong size) {
  auto* m = static_cast<MemoryStream*>(s);
  if (m->bytes->size() < m->pos + size) m->bytes->resize(m->pos + size);
  m->bytes->replace(m->pos, size, static_cast<const char*>(buf), size);
  m->pos += size;
  return size;
}
inline ZPOS64_T ZCALLBACK Tell(voidpf, voidpf s) { return static_cast<MemoryStream*>(s)->pos; }
inline long ZCALLBACK Seek(voidpf, voidpf s, ZPOS64_T offset, int origin) {
  auto* m = static_cast<MemoryStream*>(s);
  const std::size_t base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0
                         : origin == ZLIB_FILEFUNC_SEEK_CUR ? m->pos
                                                            : m->bytes->size();
  m->pos = base + static_cast<std::size_t>(offset);
  return 0;
}
inline int ZCALLBACK Close(voidpf, voidpf s) {
  delete static_cast<MemoryStream*>(s);
  return 0;
}
inline int ZCALLBACK Error(voidpf, voidpf) { return 0; }

}  // namespace archive_builder

// The bytes of a zip archive holding `entries` in the given order.
inline std::string BuildArchive(const std::vector<ArchiveEntry>& entries) {
  std::string bytes;
  zlib_filefunc64_def io = {archive_builder::Open, archive_builder::Read, archive_builder::Write,
                            archive_builder::Tell, archive_builder::Seek, archive_builder::Close,
                            archive_builder::Error, &bytes};
  zipFile zip = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &io);
  for (const ArchiveEntry& e : entries) {
    zip_fileinfo info = {};
    info.dosDate = 0x58210000;  // 2024-01-01 00:00
    info.external_fa = e.folder ? 0x10 : 0x20;
    zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            e.folder ? 0 : Z_DEFLATED, e.folder ? 0 : 9, 0, -MAX_WBITS, 8,
                            Z_DEFAULT_STRATEGY, nullptr, 0, 0, 1 << 11, 0);
    if (!e.bytes.empty()) zipWriteInFileInZip(zip, e.bytes.data(), static_cast<unsigned>(e.bytes.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
  return bytes;
}
