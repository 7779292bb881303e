// Loaded into the program under test by robot.exe's message hook, so that the
// robot can read what Wine answers only inside the window's own process: on
// the registered message "lumatrek.robot.icons" it asks the dialog for its
// large and small icons (WM_GETICON) and leaves the answers as the window
// properties "lumatrek.robot.bigIcon" and "lumatrek.robot.smallIcon", which
// any process can read.
//
// As a hook on the messages the dialog has handled, it watches what the
// dialog frees: on the registered message "lumatrek.robot.watch" (wParam: the
// picture control's id, lParam: a global atom naming the report file) it notes
// the icons and the picture, and once the dialog has been destroyed
// (WM_NCDESTROY) it writes one line for each, "freed" or "kept".
#include <windows.h>

#include <cstdio>

namespace {

HWND g_watched = nullptr;
HICON g_bigIcon = nullptr;
HICON g_smallIcon = nullptr;
HGDIOBJ g_picture = nullptr;
wchar_t g_report[MAX_PATH] = {};

bool IconAlive(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return false;
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RobotCallWndProcRetHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT watch = RegisterWindowMessageW(L"lumatrek.robot.watch");
  const CWPRETSTRUCT* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == watch) {
    g_watched = msg->hwnd;
    g_bigIcon = reinterpret_cast<HICON>(SendMessageW(msg->hwnd, WM_GETICON, ICON_BIG, 0));
    g_smallIcon = reinterpret_cast<HICON>(SendMessageW(msg->hwnd, WM_GETICON, ICON_SMALL, 0));
    g_picture = reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageW(msg->hwnd, static_cast<int>(msg->wParam), STM_GETIMAGE, IMAGE_BITMAP, 0));
    GlobalGetAtomNameW(static_cast<ATOM>(msg->lParam), g_report, MAX_PATH);
  } else if (code == HC_ACTION && msg->message == WM_NCDESTROY && msg->hwnd == g_watched && g_watched != nullptr) {
    g_watched = nullptr;
    if (FILE* f = _wfopen(g_report, L"w")) {
      std::fprintf(f, "large icon %s\n", g_bigIcon == nullptr ? "none" : IconAlive(g_bigIcon) ? "kept" : "freed");
      std::fprintf(f, "small icon %s\n", g_smallIcon == nullptr ? "none" : IconAlive(g_smallIcon) ? "kept" : "freed");
      std::fprintf(f, "side picture %s\n", g_picture == nullptr ? "none" : GetObjectType(g_picture) != 0 ? "kept" : "freed");
      std::fclose(f);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

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
