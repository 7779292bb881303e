// Last-error and heap adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstdlib>
#include <cstring>

#include "os/memory.h"
#include "os/os_types.h"

namespace os {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD code) { ::SetLastError(code); }
void* malloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
void free(void* block) { std::free(block); }

namespace win32 {

// A system without the search flags (Windows 7 before its loader update)
// refuses the flag; the full path names the same file there.
HMODULE LoadSystemLibrary(const char* file) {
  constexpr ::DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (HMODULE module = ::LoadLibraryExA(file, nullptr, kSearchSystem32)) return module;
  char path[MAX_PATH + 32] = {};
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || std::strlen(file) > 30) return nullptr;
  std::strcat(path, "\\");
  std::strcat(path, file);
  return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace win32

}  // namespace os
