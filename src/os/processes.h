// Child processes: starting a program (CreateProcessA), its exit code, the
// environment and system folder that decide which program runs, and the C
// runtime's pipe on a command interpreter's standard output. Waiting on and
// closing a process handle use WaitForSingleObject and CloseHandle (os/devices.h).
#pragma once
#include "os/devices.h"
#include "os/files.h"
#include "os/os_types.h"

namespace os {

#ifndef _WINDOWS_
constexpr int SW_SHOW = 5;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD ERROR_DIRECTORY = 267;
#endif

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  BYTE* lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};

// With no application name the program is the command line's first word,
// searched for in the parent's folder, its current folder, the system folder
// and the path. The child starts in `currentDirectory`, which must exist.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void* processAttributes, void* threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, void* environment, LPCSTR currentDirectory,
                    STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInformation);
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
// Length of the value without its NUL; the size needed (with NUL) when `buffer`
// is too small; 0 when the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// The system folder ("C:\Windows\system32"), without a trailing backslash; its
// length, or the size needed when `buffer` is too small, or 0 on failure.
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);

// C runtime pipe: the command interpreter named by COMSPEC runs `command` with
// its standard output readable through the stream ("r": text mode, a carriage
// return before a newline is dropped). _pclose waits for the command and
// returns its exit status, or -1.
FILE* _popen(const char* command, const char* mode);
// Reads at most `size` - 1 bytes, up to and including a newline; null at the end.
char* fgets(char* buffer, int size, FILE* stream);
int _pclose(FILE* stream);

// One owner per process or thread handle.
class ProcessHandle {
 public:
  explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
  ~ProcessHandle() {
    if (handle_ != nullptr) os::CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace os
