// Starts a program as a detached process: no console and no standard handles
// of its own, as Windows starts a GUI program from a console, so that the
// program has to attach to our console to write to it. Waits for it and
// exits with its exit code. Usage: detached.exe COMMAND LINE
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
  // Everything after our own program name is the child's command line.
  wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    for (++p; *p != L'\0' && *p != L'"'; ++p) {
    }
    if (*p == L'"') ++p;
  }
  while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  while (*p == L' ' || *p == L'\t') ++p;

  std::wstring line(p);  // CreateProcessW may write to its command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "detached: cannot start the program (%lu)\n", GetLastError());
    return 255;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
