// Service Control Manager calls used to stop and start the print spooler and
// the services it needs, with the platform's records and constants, and the
// millisecond tick counter and pause that bound the waits on them.
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD SC_MANAGER_ALL_ACCESS = 0xF003F;
constexpr DWORD SERVICE_QUERY_STATUS = 0x4;
constexpr DWORD SERVICE_START = 0x10;
constexpr DWORD SERVICE_STOP = 0x20;
constexpr DWORD SERVICE_PAUSE_CONTINUE = 0x40;

constexpr DWORD SERVICE_WIN32 = 0x30;
constexpr DWORD SERVICE_STATE_ALL = 3;

constexpr DWORD SERVICE_STOPPED = 1;
constexpr DWORD SERVICE_START_PENDING = 2;
constexpr DWORD SERVICE_STOP_PENDING = 3;
constexpr DWORD SERVICE_RUNNING = 4;
constexpr DWORD SERVICE_CONTINUE_PENDING = 5;
constexpr DWORD SERVICE_PAUSE_PENDING = 6;
constexpr DWORD SERVICE_PAUSED = 7;

constexpr DWORD SERVICE_CONTROL_STOP = 1;
constexpr DWORD SERVICE_CONTROL_CONTINUE = 3;

// Error codes the Service Control Manager reports.
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_DEPENDENT_SERVICES_RUNNING = 1051;
constexpr DWORD ERROR_INVALID_SERVICE_CONTROL = 1052;
constexpr DWORD ERROR_SERVICE_ALREADY_RUNNING = 1056;
constexpr DWORD ERROR_SERVICE_DISABLED = 1058;
constexpr DWORD ERROR_SERVICE_DOES_NOT_EXIST = 1060;
constexpr DWORD ERROR_SERVICE_CANNOT_ACCEPT_CTRL = 1061;
constexpr DWORD ERROR_SERVICE_NOT_ACTIVE = 1062;
#endif

struct SERVICE_STATUS {
  DWORD dwServiceType;
  DWORD dwCurrentState;
  DWORD dwControlsAccepted;
  DWORD dwWin32ExitCode;
  DWORD dwServiceSpecificExitCode;
  DWORD dwCheckPoint;
  DWORD dwWaitHint;
};

struct ENUM_SERVICE_STATUSA {
  LPSTR lpServiceName;
  LPSTR lpDisplayName;
  SERVICE_STATUS ServiceStatus;
};

SC_HANDLE OpenSCManagerA(LPCSTR machineName, LPCSTR databaseName, DWORD desiredAccess);
// The records come first in the buffer and their strings behind them; a call
// whose buffer is too small fails with ERROR_MORE_DATA and reports the bytes needed.
BOOL EnumServicesStatusA(SC_HANDLE manager, DWORD serviceType, DWORD serviceState, ENUM_SERVICE_STATUSA* services,
                         DWORD bufSize, DWORD* bytesNeeded, DWORD* servicesReturned, DWORD* resumeHandle);
SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD desiredAccess);
BOOL QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status);
BOOL StartServiceA(SC_HANDLE service, DWORD numArgs, LPCSTR* args);
BOOL ControlService(SC_HANDLE service, DWORD control, SERVICE_STATUS* status);
BOOL CloseServiceHandle(SC_HANDLE handle);

// Milliseconds since start-up on a 32-bit counter that wraps after about 49.7 days.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// One owner per manager or service handle.
using ServiceHandleTraits = NullIsEmptyTraits<SC_HANDLE, &os::CloseServiceHandle>;
using ServiceHandle = ScopedHandle<ServiceHandleTraits>;

}  // namespace os
