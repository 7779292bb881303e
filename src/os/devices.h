// Device file access with overlapped writes: opening a device by its path,
// one overlapped write, the wait on the device handle (bounded, with
// cancellation), and the system's multibyte-aware upper-casing of a name.
#pragma once
#include <cstdint>

#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_IO_INCOMPLETE = 996;
#endif

// The platform's OVERLAPPED record (the offset pair stands for its union).
struct OVERLAPPED {
  std::uintptr_t Internal;
  std::uintptr_t InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED* overlapped);
// One overlapped read of up to `bytesToRead` bytes (also declared with the
// pipes in os/processes.h; the adapter is there).
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* overlapped);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL CancelIo(HANDLE file);
BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* bytesTransferred, BOOL wait);
BOOL CloseHandle(HANDLE handle);
// Upper-cases `length` bytes of ANSI text in place, lead and trail bytes of
// double-byte characters kept together; returns the bytes processed.
DWORD CharUpperBuffA(LPSTR text, DWORD length);

// One owner per kernel handle: a file, folder, device, process, thread or
// pipe. Null and INVALID_HANDLE_VALUE are never closed.
// A kernel handle: CreateFileA answers INVALID_HANDLE_VALUE, CreateEventA and
// the process calls null, so both own nothing.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle InvalidValue() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { os::CloseHandle(h); }
};
using OwnedHandle = ScopedHandle<KernelHandleTraits>;

}  // namespace os
