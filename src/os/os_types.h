// Plain C++ spellings of the few Windows types, handles and constants that the
// portable code uses. Names and values are the platform's own; nothing here
// includes <windows.h>, so the same sources build natively against the fake OS.
#pragma once
#include <cstddef>
#include <cstdint>

// The platform's handle tags, declared at global scope so that a handle type
// is the same type whether or not <windows.h> was included first.
struct HINSTANCE__;
struct HRSRC__;
struct HKEY__;
struct SC_HANDLE__;

namespace os {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using LPSTR = char*;
using LPCSTR = const char*;
// UTF-16 code units: the platform's wchar_t, char16_t where wchar_t is wider.
#ifdef _WIN32
using WCHAR = wchar_t;
#else
using WCHAR = char16_t;
#endif
using HANDLE = void*;
using HMODULE = ::HINSTANCE__*;
using HINSTANCE = HMODULE;
using HRSRC = ::HRSRC__*;
using HGLOBAL = void*;
using HKEY = ::HKEY__*;
using SC_HANDLE = ::SC_HANDLE__*;

// The Win32 adapters see these as the platform's own macros; everywhere else
// they are plain constants, checked against the platform's values by
// os/win32/sdk_constants.cpp.
#ifndef _WINDOWS_
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// A handle constant is defined through its bits, which (unlike the pointer)
// can be compared with the platform's value at compile time.
constexpr std::intptr_t kInvalidHandleValueBits = -1;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(kInvalidHandleValueBits);
constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Error codes that the program examines.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_IO_PENDING = 997;
#endif  // _WINDOWS_

DWORD GetLastError();
void SetLastError(DWORD code);

}  // namespace os
