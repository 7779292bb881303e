// The process's command line and the console of the program that started it:
// a GUI program has no console of its own, so unattended runs attach to the
// parent's console (or use the output handle the parent redirected).
#pragma once
#include "os/os_types.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD ATTACH_PARENT_PROCESS = 0xFFFFFFFFu;
constexpr DWORD STD_OUTPUT_HANDLE = 0xFFFFFFF5u;  // (DWORD)-11
#endif

// The command line as the process was started, in the ANSI code page.
LPCSTR GetCommandLineA();
// Attaches this process to the console of process `processId`.
BOOL AttachConsole(DWORD processId);
// The standard handle `which`; null or INVALID_HANDLE_VALUE when there is none.
HANDLE GetStdHandle(DWORD which);

}  // namespace os
