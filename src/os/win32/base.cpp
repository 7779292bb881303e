// Last-error and heap adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstdlib>

#include "os/memory.h"
#include "os/os_types.h"

namespace os {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD code) { ::SetLastError(code); }
void* malloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
void free(void* block) { std::free(block); }

}  // namespace os
