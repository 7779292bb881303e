#include "payload/archive_io.h"

#include <climits>

#include "os/files.h"

namespace payload {
namespace {

os::FILE* Stream(voidpf stream) { return static_cast<os::FILE*>(stream); }

voidpf ZCALLBACK Open(voidpf, const void* path, int mode) {
  const char* fopenMode = nullptr;
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
    fopenMode = "rb";
  } else if (mode & ZLIB_FILEFUNC_MODE_EXISTING) {
    fopenMode = "r+b";
  } else if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
    fopenMode = "wb";
  }
  if (path == nullptr || fopenMode == nullptr) return nullptr;
  return os::fopen(static_cast<const char*>(path), fopenMode);
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  return static_cast<uLong>(os::fread(buffer, 1, size, Stream(stream)));
}

uLong ZCALLBACK Write(voidpf, voidpf stream, const void* buffer, uLong size) {
  return static_cast<uLong>(os::fwrite(buffer, 1, size, Stream(stream)));
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) {
  const long at = os::ftell(Stream(stream));
  return at < 0 ? static_cast<ZPOS64_T>(-1) : static_cast<ZPOS64_T>(at);
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  int whence = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: whence = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: whence = 1; break;
    case ZLIB_FILEFUNC_SEEK_END: whence = 2; break;
    default: return -1;
  }
  // The streams take a long offset; archives this large are not ours.
  if (offset > static_cast<ZPOS64_T>(LONG_MAX)) return -1;
  return os::fseek(Stream(stream), static_cast<long>(offset), whence) == 0 ? 0 : -1;
}

int ZCALLBACK Close(voidpf, voidpf stream) { return os::fclose(Stream(stream)); }

// Short reads and writes already tell the library of trouble.
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
