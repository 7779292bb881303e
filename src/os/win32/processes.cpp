// Process, environment and command pipe adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstdio>

#include "os/processes.h"

static_assert(sizeof(os::STARTUPINFOA) == sizeof(::STARTUPINFOA), "STARTUPINFOA layout");
static_assert(sizeof(os::PROCESS_INFORMATION) == sizeof(::PROCESS_INFORMATION), "PROCESS_INFORMATION layout");

namespace os {

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void* processAttributes, void* threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, void* environment, LPCSTR currentDirectory,
                    STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInformation) {
  return ::CreateProcessA(applicationName, commandLine, static_cast<LPSECURITY_ATTRIBUTES>(processAttributes),
                          static_cast<LPSECURITY_ATTRIBUTES>(threadAttributes), inheritHandles, creationFlags,
                          environment, currentDirectory, reinterpret_cast<::STARTUPINFOA*>(startupInfo),
                          reinterpret_cast<::PROCESS_INFORMATION*>(processInformation));
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
  return ::GetExitCodeProcess(process, reinterpret_cast<::DWORD*>(exitCode));
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  return ::GetEnvironmentVariableA(name, buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }

FILE* _popen(const char* command, const char* mode) { return reinterpret_cast<FILE*>(::_popen(command, mode)); }
char* fgets(char* buffer, int size, FILE* stream) {
  return std::fgets(buffer, size, reinterpret_cast<::FILE*>(stream));
}
int _pclose(FILE* stream) { return ::_pclose(reinterpret_cast<::FILE*>(stream)); }

}  // namespace os
