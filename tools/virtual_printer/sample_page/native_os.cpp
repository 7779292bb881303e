// The few OS-boundary calls the page composer needs, forwarded to the C
// runtime, so that the real composition code runs natively.
#include <cstdio>
#include <cstdlib>

#include "os/files.h"
#include "os/memory.h"

namespace os {

void* malloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
void free(void* block) { std::free(block); }

FILE* fopen(const char* path, const char* mode) { return reinterpret_cast<FILE*>(std::fopen(path, mode)); }
std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream) {
  return std::fread(buffer, size, count, reinterpret_cast<std::FILE*>(stream));
}
int fseek(FILE* stream, long offset, int origin) {
  return std::fseek(stream == nullptr ? nullptr : reinterpret_cast<std::FILE*>(stream), offset,
                    origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END);
}
int fclose(FILE* stream) { return std::fclose(reinterpret_cast<std::FILE*>(stream)); }

}  // namespace os
