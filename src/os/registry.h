// Registry calls used to register TCP/IP ports and to find USB printer
// interfaces. Results are Win32 error codes (ERROR_SUCCESS = 0).
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

using REGSAM = DWORD;

#ifndef _WINDOWS_
// As the platform defines it: the 32-bit value, sign-extended to pointer width.
constexpr std::intptr_t kHkeyLocalMachineBits = static_cast<std::int32_t>(0x80000002u);
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(kHkeyLocalMachineBits);
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
// The native registry view, also from a 32-bit program on 64-bit Windows.
constexpr REGSAM KEY_WOW64_64KEY = 0x100;
#endif

struct FILETIME;

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                     void* securityAttributes, HKEY* result, DWORD* disposition);
LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result);
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved, LPSTR cls,
                   DWORD* clsSize, FILETIME* lastWriteTime);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
LONG RegCloseKey(HKEY key);

// One owner per open key.
using RegKeyTraits = NullIsEmptyTraits<HKEY, &os::RegCloseKey>;
using RegKey = ScopedHandle<RegKeyTraits>;

}  // namespace os
