// Command line and console adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/console.h"

namespace os {

LPCSTR GetCommandLineA() { return ::GetCommandLineA(); }
BOOL AttachConsole(DWORD processId) { return ::AttachConsole(processId); }
HANDLE GetStdHandle(DWORD which) { return ::GetStdHandle(which); }
BOOL GetConsoleMode(HANDLE console, DWORD* mode) {
  ::DWORD m = 0;
  const BOOL ok = ::GetConsoleMode(console, &m);
  *mode = m;
  return ok;
}
BOOL WriteConsoleW(HANDLE console, const WCHAR* text, DWORD count, DWORD* written, void* reserved) {
  ::DWORD w = 0;
  const BOOL ok = ::WriteConsoleW(console, text, count, &w, reserved);
  *written = w;
  return ok;
}
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, WCHAR* wide, int wideCount) {
  return ::MultiByteToWideChar(codePage, flags, text, count, wide, wideCount);
}
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int count, LPSTR text, int bytesCount,
                        LPCSTR defaultChar, BOOL* usedDefault) {
  return ::WideCharToMultiByte(codePage, flags, wide, count, text, bytesCount, defaultChar, usedDefault);
}

}  // namespace os
