// Process entry: prepare COM and the common controls, show the main dialog
// modally and return its result as the exit code.
#include <objbase.h>
#include <commctrl.h>

#include "app/dialog/main_dlg.h"

CAppModule _Module;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = 8;
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
