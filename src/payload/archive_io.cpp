#include "payload/archive_io.h"

#include <climits>
#include <string>

#include "common/checked_open.h"

namespace payload {
namespace {

// Larger than any archive the program carries (the driver package is well
// under a megabyte): read whole, it is held in memory.
constexpr std::size_t kLargestArchive = 64u * 1024 * 1024;

// An archive read whole through a handle checked to be the plain file at
// the path formed, so nothing swapped in afterwards is ever read.
struct ArchiveBytes {
  std::string bytes;
  std::size_t at = 0;
};

ArchiveBytes* Stream(voidpf stream) { return static_cast<ArchiveBytes*>(stream); }

voidpf ZCALLBACK Open(voidpf, const void* path, int mode) {
  if (path == nullptr || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto* archive = new ArchiveBytes;
  if (!ReadCheckedFile(static_cast<const char*>(path), kLargestArchive, archive->bytes)) {
    delete archive;
    return nullptr;
  }
  return archive;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  ArchiveBytes& a = *Stream(stream);
  const std::size_t left = a.bytes.size() - a.at;
  const std::size_t n = size < left ? size : left;
  a.bytes.copy(static_cast<char*>(buffer), n, a.at);
  a.at += n;
  return static_cast<uLong>(n);
}

// Nothing is written to an archive.
uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) { return static_cast<ZPOS64_T>(Stream(stream)->at); }

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  ArchiveBytes& a = *Stream(stream);
  ZPOS64_T base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = a.at; break;
    case ZLIB_FILEFUNC_SEEK_END: base = a.bytes.size(); break;
    default: return -1;
  }
  if (offset > a.bytes.size() || base + offset > a.bytes.size()) return -1;
  a.at = static_cast<std::size_t>(base + offset);
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf stream) {
  delete Stream(stream);
  return 0;
}

int ZCALLBACK Error(voidpf, voidpf) { return 0; }

}  // namespace

void FillOsFileFunctions(zlib_filefunc64_def* functions) {
  functions->zopen64_file = Open;
  functions->zread_file = Read;
  functions->zwrite_file = Write;
  functions->ztell64_file = Tell;
  functions->zseek64_file = Seek;
  functions->zclose_file = Close;
  functions->zerror_file = Error;
  functions->opaque = nullptr;
}

}  // namespace payload
