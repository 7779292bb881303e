// Command line and console adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/console.h"

namespace os {

LPCSTR GetCommandLineA() { return ::GetCommandLineA(); }
BOOL AttachConsole(DWORD processId) { return ::AttachConsole(processId); }
HANDLE GetStdHandle(DWORD which) { return ::GetStdHandle(which); }

}  // namespace os
