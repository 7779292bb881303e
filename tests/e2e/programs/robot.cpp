// The end-to-end robot: starts the program under test, then plays a script of
// steps against its main dialog the way a user would (clicks, typing, list
// choices, keys), checks what the dialog shows, reads and dismisses every
// message box, and checks the exit code. Runs under the same Wine as the
// program. Usage: robot.exe SCRIPT [LOG]
//
// The script is UTF-8, one step a line ('#' starts a comment). ID is a
// control id number (tests/e2e/lib.sh puts the numbers in for the names that
// the scenarios use):
//   launch WINPATH [| ARGS]        start the program (with ARGS) and wait for its dialog
//   text ID TEXT                   window text of control ID equals TEXT
//   enabled ID 0|1                 control ID is disabled / enabled
//   checked ID 0|1                 button ID is unchecked / checked
//   style ID HEX                   GWL_STYLE of control ID
//   items ID A|B|...               the items of combo box ID, in list order
//   selected ID TEXT               the combo box's selected item ("" for none)
//   focus ID                       the control that has the keyboard focus
//   icons                          the dialog has a large and a small icon (WM_GETICON)
//   picture ID                     static control ID holds a bitmap (STM_GETIMAGE)
//   centred                        the dialog sits centred on its monitor's work area,
//                                  pulled inside it where it would pass an edge
//   click ID                       a user's click on button ID
//   choose ID INDEX                a user's choice of item INDEX in combo box ID
//   open ID                        the user opens drop-down list ID
//   close ID                       the user closes drop-down list ID
//   type ID TEXT                   replaces the text of edit ID
//   key ID return|escape           a key press with the focus in control ID
//   message CAPTION|TEXT           a message box owned by the dialog shows this (read back
//                                  as UTF-16 and compared as UTF-8); press OK
//   snapbox PATH                   waits for a message box and saves it as a 24-bit BMP
//                                  (leaves it open for the next "message")
//   timer start|below MS|above MS  starts a stop-watch / less (more) than MS ms have passed
//   cursor mark|busy|normal        remembers the dialog thread's cursor / within 3 s it is
//                                  another one (the wait cursor) / the remembered one again
//   quiet MS                       no message box appears within MS milliseconds
//   closebox                       the user clicks the dialog's close box
//   alive                          the dialog is still open
//   snap PATH                      saves the dialog as a 24-bit BMP
//   exit CODE                      the program ends with this exit code
//   run COMMAND LINE               runs a program inside Wine and waits for it
//   sleep MS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HANDLE g_process = nullptr;
HCURSOR g_markedCursor = nullptr;
DWORD g_timerStart = 0;
DWORD g_pid = 0;
HWND g_dialog = nullptr;
FILE* g_log = stdout;
const wchar_t kTitle[] = L"Lumatrek Driver Setup(V1.00)";

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::wstring WindowText(HWND h) {
  wchar_t buffer[4096] = {};
  // WM_GETTEXT works across processes for every control class.
  SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
  return buffer;
}

HWND Control(int id) { return GetDlgItem(g_dialog, id); }

struct FindBox {
  HWND box = nullptr;
};

BOOL CALLBACK FindOwnedBox(HWND h, LPARAM p) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != g_pid || h == g_dialog || !IsWindowVisible(h)) return TRUE;
  if (GetWindow(h, GW_OWNER) != g_dialog) return TRUE;
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (lstrcmpW(cls, L"#32770") != 0) return TRUE;
  reinterpret_cast<FindBox*>(p)->box = h;
  return FALSE;
}

HWND WaitForBox(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    FindBox f;
    EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&f));
    if (f.box != nullptr) return f.box;
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

BOOL CALLBACK CollectStaticText(HWND h, LPARAM p) {
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (lstrcmpiW(cls, L"Static") == 0) {
    std::wstring t = WindowText(h);
    if (!t.empty()) *reinterpret_cast<std::wstring*>(p) += t;
  }
  return TRUE;
}

bool WaitForDialog(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    HWND h = FindWindowW(L"#32770", kTitle);
    if (h != nullptr && IsWindowVisible(h)) {
      g_dialog = h;
      GetWindowThreadProcessId(h, &g_pid);
      Sleep(200);  // let the start-up messages settle
      return true;
    }
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return false;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t buffer[1024] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 1023) {
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
    }
    items.push_back(buffer);
  }
  return items;
}

bool SaveWindowBmp(HWND h, const std::wstring& path) {
  RECT r{};
  GetWindowRect(h, &r);
  const int w = r.right - r.left, ht = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = ht;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD image = stride * static_cast<DWORD>(ht);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = fh.bfOffBits + image;
  bool ok = false;
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    ok = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f) == 1 &&
         fwrite(bits, 1, image, f) == image;
    fclose(f);
  }
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = s.find(sep, from);
    parts.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

// Runs one step; returns an empty string on success, else what went wrong.
std::string Step(const std::string& verb, const std::string& rest) {
  const size_t space = rest.find(' ');
  const std::string first = rest.substr(0, space);
  const std::string arg = space == std::string::npos ? std::string() : rest.substr(space + 1);
  const int id = std::atoi(first.c_str());

  if (verb == "launch") {
    const size_t bar = rest.find(" | ");
    std::wstring cmd = L"\"" + Wide(rest.substr(0, bar)) + L"\"";
    if (bar != std::string::npos) cmd += L" " + Wide(rest.substr(bar + 3));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      return "CreateProcess failed: " + std::to_string(GetLastError());
    }
    CloseHandle(pi.hThread);
    g_process = pi.hProcess;
    return WaitForDialog(60000) ? "" : "the dialog did not appear";
  }
  if (verb == "run") {
    std::wstring cmd = Wide(rest);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
      return "could not start it";
    }
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0 ? "" : "it exited with " + std::to_string(code);
  }
  if (verb == "sleep") {
    Sleep(static_cast<DWORD>(std::atoi(rest.c_str())));
    return "";
  }
  if (verb == "exit") {
    if (WaitForSingleObject(g_process, 30000) != WAIT_OBJECT_0) return "the program did not end";
    DWORD code = 0;
    GetExitCodeProcess(g_process, &code);
    if (static_cast<int>(code) != std::atoi(rest.c_str())) return "exit code " + std::to_string(static_cast<int>(code));
    return "";
  }
  if (verb == "closebox") {
    PostMessageW(g_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return "";
  }
  if (verb == "alive") {
    return WaitForSingleObject(g_process, 0) == WAIT_TIMEOUT && IsWindow(g_dialog) ? "" : "the dialog has ended";
  }
  if (verb == "message") {
    const size_t bar = rest.find('|');
    const std::string caption = rest.substr(0, bar), text = rest.substr(bar + 1);
    HWND box = WaitForBox(180000);
    if (box == nullptr) return "no message box appeared";
    std::wstring shown;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&shown));
    const std::string gotCaption = Utf8(WindowText(box)), gotText = Utf8(shown);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < 10000) Sleep(20);
    if (gotCaption != caption || gotText != text) return "shown " + gotCaption + "|" + gotText;
    return "";
  }
  if (verb == "quiet") {
    HWND box = WaitForBox(static_cast<DWORD>(std::atoi(rest.c_str())));
    if (box == nullptr) return "";
    std::wstring shown;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&shown));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return "unexpected message box: " + Utf8(WindowText(box)) + "|" + Utf8(shown);
  }
  if (verb == "icons") {
    // Wine answers WM_GETICON only inside the window's own process: ask there,
    // through a message hook in robot_hook.dll (beside this program).
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll = path;
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"robot_hook.dll";
    HMODULE module = LoadLibraryW(dll.c_str());
    if (module == nullptr) return "cannot load robot_hook.dll";
    FARPROC proc = GetProcAddress(module, "RobotGetMessageHook");
    if (proc == nullptr) proc = GetProcAddress(module, "RobotGetMessageHook@12");
    HHOOK hook = proc == nullptr ? nullptr
                                 : SetWindowsHookExW(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(proc)),
                                                     module, GetWindowThreadProcessId(g_dialog, nullptr));
    if (hook == nullptr) return "cannot hook the dialog's thread: " + std::to_string(GetLastError());
    PostMessageW(g_dialog, RegisterWindowMessageW(L"lumatrek.robot.icons"), 0, 0);
    const DWORD start = GetTickCount();
    while (GetPropW(g_dialog, L"lumatrek.robot.answered") == nullptr && GetTickCount() - start < 5000) Sleep(20);
    UnhookWindowsHookEx(hook);
    if (GetPropW(g_dialog, L"lumatrek.robot.answered") == nullptr) return "the hook did not answer";
    std::string problem;
    if (GetPropW(g_dialog, L"lumatrek.robot.bigIcon") == nullptr) problem += "no large icon ";
    if (GetPropW(g_dialog, L"lumatrek.robot.smallIcon") == nullptr) problem += "no small icon ";
    return problem;
  }
  if (verb == "centred") {
    RECT dialog{};
    GetWindowRect(g_dialog, &dialog);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(g_dialog, MONITOR_DEFAULTTONEAREST), &info)) return "no monitor";
    const RECT& area = info.rcWork;
    const LONG width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
    LONG x = (area.left + area.right) / 2 - width / 2, y = (area.top + area.bottom) / 2 - height / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    if (dialog.left == x && dialog.top == y) return "";
    return "at " + std::to_string(dialog.left) + "," + std::to_string(dialog.top) + ", not " + std::to_string(x) +
           "," + std::to_string(y);
  }
  if (verb == "snapbox") {
    HWND box = WaitForBox(180000);
    if (box == nullptr) return "no message box appeared";
    Sleep(300);  // let it paint
    return SaveWindowBmp(box, Wide(rest)) ? "" : "could not save the picture";
  }
  if (verb == "timer") {
    if (rest == "start") {
      g_timerStart = GetTickCount();
      return "";
    }
    const DWORD elapsed = GetTickCount() - g_timerStart;
    const DWORD bound = static_cast<DWORD>(std::atoi(arg.c_str()));
    const bool ok = first == "below" ? elapsed < bound : first == "above" ? elapsed > bound : false;
    return ok ? "" : std::to_string(elapsed) + " ms passed";
  }
  if (verb == "cursor") {
    // The cursor of the foreground thread: the dialog's, which keeps the one
    // its command set while it runs (no message is handled meanwhile).
    auto current = [] {
      CURSORINFO info{};
      info.cbSize = sizeof(info);
      return GetCursorInfo(&info) ? info.hCursor : nullptr;
    };
    if (rest == "mark") {
      g_markedCursor = current();
      return g_markedCursor != nullptr ? "" : "no cursor";
    }
    const bool busy = rest == "busy";
    const DWORD start = GetTickCount();
    do {
      const HCURSOR now = current();
      if (now != nullptr && (now != g_markedCursor) == busy) return "";
      Sleep(20);
    } while (GetTickCount() - start < 3000);
    return busy ? "the cursor did not change" : "the cursor did not come back";
  }
  if (verb == "snap") {
    return SaveWindowBmp(g_dialog, Wide(rest)) ? "" : "could not save the picture";
  }

  HWND control = Control(id);
  if (control == nullptr) return "no control " + first;
  if (verb == "text") {
    const std::string got = Utf8(WindowText(control));
    return got == arg ? "" : "text is '" + got + "'";
  }
  if (verb == "picture") {
    DWORD_PTR image = 0;
    SendMessageTimeoutW(control, STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, 5000, &image);
    return image != 0 ? "" : "no bitmap";
  }
  if (verb == "enabled") {
    const bool got = IsWindowEnabled(control) != FALSE;
    return got == (arg == "1") ? "" : std::string("enabled is ") + (got ? "1" : "0");
  }
  if (verb == "checked") {
    const LRESULT got = SendMessageW(control, BM_GETCHECK, 0, 0);
    return (got == BST_CHECKED) == (arg == "1") ? "" : "check state " + std::to_string(got);
  }
  if (verb == "style") {
    const DWORD got = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const DWORD want = static_cast<DWORD>(std::strtoul(arg.c_str(), nullptr, 16));
    char text[32];
    std::snprintf(text, sizeof text, "style %08lX", static_cast<unsigned long>(got));
    return got == want ? "" : text;
  }
  if (verb == "items") {
    std::string got;
    for (const auto& item : ComboItems(control)) got += (got.empty() ? "" : "|") + Utf8(item);
    return got == arg ? "" : "items are '" + got + "'";
  }
  if (verb == "selected") {
    const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
    std::string got;
    if (sel != CB_ERR) got = Utf8(ComboItems(control).at(static_cast<size_t>(sel)));
    return got == arg ? "" : "selected '" + got + "'";
  }
  if (verb == "focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(g_dialog, nullptr), &info);
    return info.hwndFocus == control ? "" : "focus is on control " + std::to_string(GetDlgCtrlID(info.hwndFocus));
  }
  if (verb == "click") {
    PostMessageW(control, BM_CLICK, 0, 0);
    Sleep(100);
    return "";
  }
  if (verb == "choose") {
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(arg.c_str())), 0);
    PostMessageW(g_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    Sleep(100);
    return "";
  }
  if (verb == "open" || verb == "close") {
    PostMessageW(control, CB_SHOWDROPDOWN, verb == "open" ? TRUE : FALSE, 0);
    Sleep(200);
    return "";
  }
  if (verb == "type") {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(arg).c_str()));
    return "";
  }
  if (verb == "key") {
    const WPARAM vk = arg == "return" ? VK_RETURN : arg == "escape" ? VK_ESCAPE : 0;
    if (vk == 0) return "unknown key " + arg;
    PostMessageW(control, WM_KEYDOWN, vk, 1);
    PostMessageW(control, WM_KEYUP, vk, 0xC0000001);
    Sleep(200);
    return "";
  }
  return "unknown step";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: robot SCRIPT [LOG]\n");
    return 2;
  }
  FILE* script = _wfopen(argv[1], L"rb");
  if (script == nullptr) {
    std::fprintf(stderr, "robot: cannot open the script\n");
    return 2;
  }
  if (argc > 2) g_log = _wfopen(argv[2], L"wb");
  if (g_log == nullptr) g_log = stdout;
  std::string text;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, script)) > 0) text.append(chunk, n);
  fclose(script);

  int failures = 0;
  for (std::string line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line[start] == '#') continue;
    line = line.substr(start);
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (verb != "launch" && verb != "run" && g_process == nullptr) {
      std::fprintf(g_log, "FAIL %s: nothing launched\n", line.c_str());
      ++failures;
      break;
    }
    const std::string problem = Step(verb, rest);
    if (problem.empty()) {
      std::fprintf(g_log, "ok   %s\n", line.c_str());
    } else {
      std::fprintf(g_log, "FAIL %s: %s\n", line.c_str(), problem.c_str());
      ++failures;
      if (verb == "launch") break;
    }
    std::fflush(g_log);
  }
  if (g_process != nullptr && WaitForSingleObject(g_process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(g_process, 99);  // the program this robot started
    WaitForSingleObject(g_process, 5000);
  }
  std::fprintf(g_log, "%s\n", failures == 0 ? "robot: all steps passed" : "robot: some steps failed");
  if (g_log != stdout) fclose(g_log);
  return failures == 0 ? 0 : 1;
}
