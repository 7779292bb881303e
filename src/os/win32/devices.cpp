// Device file adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstddef>

#include "os/devices.h"

static_assert(sizeof(os::OVERLAPPED) == sizeof(::OVERLAPPED), "OVERLAPPED layout");
static_assert(offsetof(os::OVERLAPPED, Offset) == offsetof(::OVERLAPPED, Offset), "OVERLAPPED layout");
static_assert(offsetof(os::OVERLAPPED, hEvent) == offsetof(::OVERLAPPED, hEvent), "OVERLAPPED layout");

namespace os {

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
  return ::CreateFileA(path, access, shareMode, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes),
                       disposition, flags, templateFile);
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED* overlapped) {
  return ::WriteFile(file, buffer, bytesToWrite, reinterpret_cast<::DWORD*>(bytesWritten),
                     reinterpret_cast<::OVERLAPPED*>(overlapped));
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) { return ::WaitForSingleObject(handle, milliseconds); }

BOOL CancelIo(HANDLE file) { return ::CancelIo(file); }

BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* bytesTransferred, BOOL wait) {
  return ::GetOverlappedResult(file, reinterpret_cast<::OVERLAPPED*>(overlapped),
                               reinterpret_cast<::DWORD*>(bytesTransferred), wait);
}

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

DWORD CharUpperBuffA(LPSTR text, DWORD length) { return ::CharUpperBuffA(text, length); }

}  // namespace os
