// How a command runs the programs it starts. The dialog waits for them as
// long as they take; the unattended mode, where nobody may be there to answer
// a window, asks the printer UI to stay quiet and bounds every wait.
#pragma once
#include "os/os_types.h"

// INFINITE, spelled out: the dialog's sources see the platform's macro of that name.
inline constexpr os::DWORD kNoTimeLimit = 0xFFFFFFFFu;

struct ChildRuns {
  bool quietPrinterUi = false;                     // "/q" after the printer UI's arguments
  os::DWORD printerInstallWaitMs = kNoTimeLimit;   // rundll32 printui /if
  os::DWORD toolWaitMs = kNoTimeLimit;             // rundll32 printui /y and /dl, pnputil -e and -d
};

// The printer UI's arguments as `runs` asks for them.
inline const char* PrinterUiQuietFlag(const ChildRuns& runs) { return runs.quietPrinterUi ? " /q" : ""; }
