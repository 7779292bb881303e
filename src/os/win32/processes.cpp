// Process, system folder and pipe adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/processes.h"

static_assert(sizeof(os::STARTUPINFOA) == sizeof(::STARTUPINFOA), "STARTUPINFOA layout");
static_assert(sizeof(os::STARTUPINFOEXA) == sizeof(::STARTUPINFOEXA), "STARTUPINFOEXA layout");
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

BOOL InitializeProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD count, DWORD flags, std::size_t* size) {
  SIZE_T bytes = *size;
  const BOOL ok = ::InitializeProcThreadAttributeList(reinterpret_cast<::LPPROC_THREAD_ATTRIBUTE_LIST>(list), count,
                                                      flags, &bytes);
  *size = bytes;
  return ok;
}

BOOL UpdateProcThreadAttribute(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD flags, std::uintptr_t attribute, void* value,
                               std::size_t size, void* previousValue, std::size_t* returnSize) {
  return ::UpdateProcThreadAttribute(reinterpret_cast<::LPPROC_THREAD_ATTRIBUTE_LIST>(list), flags, attribute, value,
                                     size, previousValue, reinterpret_cast<::PSIZE_T>(returnSize));
}

void DeleteProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST* list) {
  ::DeleteProcThreadAttributeList(reinterpret_cast<::LPPROC_THREAD_ATTRIBUTE_LIST>(list));
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
  return ::GetExitCodeProcess(process, reinterpret_cast<::DWORD*>(exitCode));
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }
UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size) { return ::GetSystemWindowsDirectoryA(buffer, size); }

BOOL CreatePipe(HANDLE* readPipe, HANDLE* writePipe, void* pipeAttributes, DWORD size) {
  return ::CreatePipe(readPipe, writePipe, static_cast<LPSECURITY_ATTRIBUTES>(pipeAttributes), size);
}

BOOL SetHandleInformation(HANDLE object, DWORD mask, DWORD flags) {
  return ::SetHandleInformation(object, mask, flags);
}

BOOL PeekNamedPipe(HANDLE pipe, void* buffer, DWORD size, DWORD* bytesRead, DWORD* available, DWORD* leftThisMessage) {
  return ::PeekNamedPipe(pipe, buffer, size, reinterpret_cast<::DWORD*>(bytesRead),
                         reinterpret_cast<::DWORD*>(available), reinterpret_cast<::DWORD*>(leftThisMessage));
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* overlapped) {
  return ::ReadFile(file, buffer, bytesToRead, reinterpret_cast<::DWORD*>(bytesRead),
                    reinterpret_cast<::OVERLAPPED*>(overlapped));
}

}  // namespace os
