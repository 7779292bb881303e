// The process's command line and the console of the program that started it:
// a GUI program has no console of its own, so unattended runs attach to the
// parent's console (or use the output handle the parent redirected). Text for
// a console goes as UTF-16, converted from the program's code page.
#pragma once
#include "os/os_types.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD ATTACH_PARENT_PROCESS = 0xFFFFFFFFu;
constexpr DWORD STD_OUTPUT_HANDLE = 0xFFFFFFF5u;  // (DWORD)-11
constexpr UINT CP_UTF8 = 65001;
#endif
// The code page of the program's own texts (GBK), whatever the system's is.
constexpr UINT kProgramCodePage = 936;

// The command line as the process was started, in the ANSI code page.
LPCSTR GetCommandLineA();
// Attaches this process to the console of process `processId`.
BOOL AttachConsole(DWORD processId);
// The standard handle `which`; null or INVALID_HANDLE_VALUE when there is none.
HANDLE GetStdHandle(DWORD which);
// TRUE when `console` is a console (not a file or pipe), with its input or
// output mode in *mode.
BOOL GetConsoleMode(HANDLE console, DWORD* mode);
// Writes `count` UTF-16 characters to console `console`.
BOOL WriteConsoleW(HANDLE console, const WCHAR* text, DWORD count, DWORD* written, void* reserved);
// Converts `count` bytes of code page `codePage` to UTF-16; with `wideCount`
// 0 only answers how many characters that takes. 0 on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, WCHAR* wide, int wideCount);
// Converts `count` UTF-16 characters to code page `codePage`; with
// `bytesCount` 0 only answers how many bytes that takes. 0 on failure.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int count, LPSTR text, int bytesCount,
                        LPCSTR defaultChar, BOOL* usedDefault);

}  // namespace os
