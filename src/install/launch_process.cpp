#include "install/launch_process.h"

#include <cstdio>
#include <cstring>

#include "os/files.h"
#include "os/processes.h"

namespace {

constexpr int kCommandLineSize = 2048;
constexpr int kFolderSize = 1024;

bool HasPath(const char* program) { return std::strpbrk(program, "\\/:") != nullptr; }

// "<system folder>\<program>[.exe]" for a program named without a path. The
// child runs in the payload folder, elevated: a search would find a program
// of the same name planted there before the system's own.
bool SystemProgramPath(const char* program, char (&path)[kFolderSize]) {
  const os::UINT length = os::GetSystemDirectoryA(path, kFolderSize);
  if (length == 0 || length >= static_cast<os::UINT>(kFolderSize)) return false;
  const char* separator = path[length - 1] == '\\' ? "" : "\\";
  const char* extension = std::strchr(program, '.') == nullptr ? ".exe" : "";
  const int written = std::snprintf(path + length, kFolderSize - length, "%s%s%s", separator, program, extension);
  return written > 0 && written < static_cast<int>(kFolderSize - length);
}

}  // namespace

os::HANDLE LaunchProcess(const char* program, const char* arguments, const char* folder, int show) {
  char commandLine[kCommandLineSize] = {};
  std::snprintf(commandLine, sizeof commandLine, "%.2047s", program);
  if (arguments != nullptr && arguments[0] != '\0') {
    const std::size_t used = std::strlen(commandLine);
    std::snprintf(commandLine + used, sizeof commandLine - used, " %s", arguments);
  }

  char application[kFolderSize] = {};
  if (!HasPath(program) && !SystemProgramPath(program, application)) return nullptr;

  char saved[kFolderSize] = {};
  if (folder != nullptr && os::PathIsDirectoryA(folder)) {
    // Without a saved folder to go back to, the current folder is left alone.
    const os::DWORD length = os::GetCurrentDirectoryA(sizeof saved, saved);
    if (length > 0 && length < sizeof saved) {
      os::SetCurrentDirectoryA(folder);
    } else {
      saved[0] = '\0';
    }
  }

  os::STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.wShowWindow = static_cast<os::WORD>(show);
  os::PROCESS_INFORMATION process{};
  os::CreateProcessA(application[0] != '\0' ? application : nullptr, commandLine, nullptr, nullptr, os::FALSE, 0,
                     nullptr, folder, &startup, &process);

  if (saved[0] != '\0') os::SetCurrentDirectoryA(saved);
  // Only the process handle is handed back.
  if (process.hThread != nullptr) os::CloseHandle(process.hThread);
  return process.hProcess;
}
