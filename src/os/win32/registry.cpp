// Registry adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/files.h"
#include "os/registry.h"

static_assert(sizeof(os::FILETIME) == sizeof(::FILETIME), "FILETIME layout");

namespace os {

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                     void* securityAttributes, HKEY* result, DWORD* disposition) {
  return ::RegCreateKeyExA(key, subKey, reserved, cls, options, access,
                           static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes), result,
                           reinterpret_cast<::DWORD*>(disposition));
}

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result) { return ::RegOpenKeyA(key, subKey, result); }

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  return ::RegOpenKeyExA(key, subKey, options, access, result);
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
  return ::RegEnumKeyA(key, index, name, nameSize);
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved, LPSTR cls,
                   DWORD* clsSize, FILETIME* lastWriteTime) {
  return ::RegEnumKeyExA(key, index, name, reinterpret_cast<::DWORD*>(nameSize),
                         reinterpret_cast<::DWORD*>(reserved), cls, reinterpret_cast<::DWORD*>(clsSize),
                         reinterpret_cast<::FILETIME*>(lastWriteTime));
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  return ::RegQueryValueExA(key, valueName, reinterpret_cast<::DWORD*>(reserved),
                            reinterpret_cast<::DWORD*>(type), data, reinterpret_cast<::DWORD*>(dataSize));
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
  return ::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) { return ::RegDeleteValueA(key, valueName); }

LONG RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

}  // namespace os
