// Shared include of the Win32 adapters: the real platform headers, in the
// order they need (Winsock before windows.h). Include it first.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>
#include <wincrypt.h>

namespace os::win32 {

// A system DLL that is no KnownDLL, from the system folder only (never the
// program's own folder, a downloads folder say), or null.
HMODULE LoadSystemLibrary(const char* file);

// The entry point `name` of `module` as a function of type F, or null.
template <typename F>
F Entry(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Calls the entry point, or fails as a missing procedure with `missing`.
template <typename R, typename F, typename... Args>
R CallOr(R missing, F function, Args... args) {
  if (function == nullptr) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return missing;
  }
  return function(args...);
}

}  // namespace os::win32
