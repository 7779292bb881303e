// What the program asks about the machine and the process: the native
// processor architecture, the version word, whether this 32-bit process runs
// under WOW64, and the WOW64 file-system redirection switch. The system
// folder (GetSystemDirectoryA) is declared in os/processes.h.
#pragma once
#include <cstdint>

#include "os/os_types.h"

namespace os {

using BOOLEAN = unsigned char;
using LANGID = WORD;

#ifndef _WINDOWS_
constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD LANG_CHINESE = 0x04;  // the primary language of every Chinese locale
#endif
// The primary language of language id `id` (its low ten bits), as the
// platform's PRIMARYLANGID macro gives it.
constexpr WORD PrimaryLanguageOf(LANGID id) { return static_cast<WORD>(id & 0x3FF); }

struct SYSTEM_INFO {
  WORD wProcessorArchitecture;  // with wReserved, the platform's dwOemId union
  WORD wReserved;
  DWORD dwPageSize;
  void* lpMinimumApplicationAddress;
  void* lpMaximumApplicationAddress;
  std::uintptr_t dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};

// The machine's own architecture, also when this process runs under WOW64.
void GetNativeSystemInfo(SYSTEM_INFO* info);
// Low byte: major version; next byte: minor version; high word: build.
DWORD GetVersion();
// The pseudo handle of this process (needs no closing).
HANDLE GetCurrentProcess();
// `*wow64` is TRUE when a 32-bit process runs on a 64-bit system.
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
// FALSE switches redirection of the system folder off for this thread, TRUE
// back on. Fails (returns FALSE) where there is no redirection to switch.
BOOLEAN Wow64EnableWow64FsRedirection(BOOLEAN enable);
// The language of the user's interface (0x0804 Chinese (PRC), 0x0409 English (US), ...).
LANGID GetUserDefaultUILanguage();

}  // namespace os
