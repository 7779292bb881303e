// Process entry: prepare COM and the common controls, show the main dialog
// modally and return its result as the exit code. With an option as the first
// argument, run the one command the arguments name without the dialog
// (unattended mode); any other argument is ignored, as before that mode.
#include <objbase.h>
#include <commctrl.h>

#include "app/dialog/main_dlg.h"
#include "os/console.h"
#include "unattended/command_line.h"
#include "unattended/unattended.h"

CAppModule _Module;

namespace {

// The program runs elevated, often from a downloads folder: load DLLs only
// from the system folder, never from beside the .exe or the current folder.
// Looked up at run time, as Windows 7 without its loader update lacks the call.
void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (restrict != nullptr) {
    restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    ::SetDllDirectoryA("");  // at least drop the current folder from the search
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  ::CoInitialize(nullptr);
  std::vector<std::string> arguments = SplitCommandLine(os::GetCommandLineA());
  if (StartsUnattended(arguments)) {
    arguments.erase(arguments.begin());  // the program
    const int code = RunUnattended(arguments);
    ::CoUninitialize();
    return code;
  }
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES;
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, instance);
  INT_PTR result = -1;
  {
    CMainDlg dlg;
    result = dlg.DoModal(::GetActiveWindow(), 0);
  }
  _Module.Term();
  ::CoUninitialize();
  return static_cast<int>(result);
}
