// Child processes: starting a program (CreateProcessA), its exit code, the
// system folder that programs are started from, and an anonymous pipe for a
// child's standard output. Waiting on and closing process and pipe handles use
// WaitForSingleObject and CloseHandle (os/devices.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "os/devices.h"
#include "os/files.h"
#include "os/os_types.h"

namespace os {

#ifndef _WINDOWS_
constexpr int SW_SHOW = 5;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_BROKEN_PIPE = 109;
constexpr DWORD STARTF_USESTDHANDLES = 0x100;
constexpr DWORD HANDLE_FLAG_INHERIT = 0x1;
constexpr DWORD EXTENDED_STARTUPINFO_PRESENT = 0x00080000;
constexpr std::uintptr_t PROC_THREAD_ATTRIBUTE_HANDLE_LIST = 0x20002;
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

// Opaque; sized by InitializeProcThreadAttributeList.
struct PROC_THREAD_ATTRIBUTE_LIST;

// Passed as STARTUPINFOA* with cb = sizeof(STARTUPINFOEXA) and
// EXTENDED_STARTUPINFO_PRESENT among the creation flags.
struct STARTUPINFOEXA {
  STARTUPINFOA StartupInfo;
  PROC_THREAD_ATTRIBUTE_LIST* lpAttributeList;
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
// An attribute list for STARTUPINFOEXA: with a null list, the size it needs in
// `*size` (and FALSE with ERROR_INSUFFICIENT_BUFFER); then filled in place.
BOOL InitializeProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD count, DWORD flags, std::size_t* size);
// With PROC_THREAD_ATTRIBUTE_HANDLE_LIST, `value` is an array of inheritable
// handles: with inheritHandles TRUE the child gets those and no others. The
// array must outlive the CreateProcessA call.
BOOL UpdateProcThreadAttribute(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD flags, std::uintptr_t attribute, void* value,
                               std::size_t size, void* previousValue, std::size_t* returnSize);
void DeleteProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST* list);
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
// The system folder ("C:\Windows\system32"), without a trailing backslash; its
// length, or the size needed when `buffer` is too small, or 0 on failure.
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
// The system's own Windows folder ("C:\Windows"), the same for every user
// and session; same answers as GetSystemDirectoryA.
UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size);

// An anonymous pipe; neither end inheritable without security attributes.
// A size of 0 asks for the system's default buffer.
BOOL CreatePipe(HANDLE* readPipe, HANDLE* writePipe, void* pipeAttributes, DWORD size);
BOOL SetHandleInformation(HANDLE object, DWORD mask, DWORD flags);
// How many bytes a pipe holds now, in `*available`, without waiting; FALSE with
// ERROR_BROKEN_PIPE when it is empty and every write end is closed.
BOOL PeekNamedPipe(HANDLE pipe, void* buffer, DWORD size, DWORD* bytesRead, DWORD* available, DWORD* leftThisMessage);
// Reads what is there, up to `bytesToRead`; on a pipe whose write ends are all
// closed: FALSE with ERROR_BROKEN_PIPE once everything was read.
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* overlapped);

}  // namespace os
