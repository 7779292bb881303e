// Loaded into the program under test by robot.exe's message hook, so that the
// robot can read what Wine answers only inside the window's own process: on
// the registered message "lumatrek.robot.icons" it asks the dialog for its
// large and small icons (WM_GETICON) and leaves the answers as the window
// properties "lumatrek.robot.bigIcon" and "lumatrek.robot.smallIcon", which
// any process can read.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK RobotGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT query = RegisterWindowMessageW(L"lumatrek.robot.icons");
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == query) {
    const HWND dialog = msg->hwnd;
    const LRESULT big = SendMessageW(dialog, WM_GETICON, ICON_BIG, 0);
    const LRESULT small = SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0);
    SetPropW(dialog, L"lumatrek.robot.bigIcon", reinterpret_cast<HANDLE>(big));
    SetPropW(dialog, L"lumatrek.robot.smallIcon", reinterpret_cast<HANDLE>(small));
    SetPropW(dialog, L"lumatrek.robot.answered", reinterpret_cast<HANDLE>(1));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
