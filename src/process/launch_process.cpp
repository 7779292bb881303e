#include "process/launch_process.h"

#include <cstdio>
#include <cstring>

#include "os/devices.h"
#include "os/files.h"
#include "os/processes.h"
#include "process/system_program.h"

namespace {

constexpr int kCommandLineSize = 2048;
constexpr int kFolderSize = 1024;

bool HasPath(const char* program) { return std::strpbrk(program, "\\/:") != nullptr; }

}  // namespace

os::HANDLE LaunchProcess(const char* program, const char* arguments, const char* folder, int show) {
  char commandLine[kCommandLineSize] = {};
  const bool withArguments = arguments != nullptr && arguments[0] != '\0';
  const int lineLength = withArguments ? std::snprintf(commandLine, sizeof commandLine, "%s %s", program, arguments)
                                       : std::snprintf(commandLine, sizeof commandLine, "%s", program);
  // A line that does not fit is refused: cut, it would say something else.
  if (lineLength < 0 || lineLength >= kCommandLineSize) return nullptr;

  // The child runs in the payload folder, elevated: a search would find a
  // program of the same name planted there before the system's own.
  std::string application;
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
  os::CreateProcessA(application.empty() ? nullptr : application.c_str(), commandLine, nullptr, nullptr, os::FALSE, 0,
                     nullptr, folder, &startup, &process);

  if (saved[0] != '\0') os::SetCurrentDirectoryA(saved);
  // Only the process handle is handed back.
  const os::OwnedHandle thread(process.hThread);
  return process.hProcess;
}
