// Service Control Manager and tick counter adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/services.h"

static_assert(sizeof(os::SERVICE_STATUS) == sizeof(::SERVICE_STATUS), "SERVICE_STATUS layout");
static_assert(sizeof(os::ENUM_SERVICE_STATUSA) == sizeof(::ENUM_SERVICE_STATUSA), "ENUM_SERVICE_STATUSA layout");

namespace os {

SC_HANDLE OpenSCManagerA(LPCSTR machineName, LPCSTR databaseName, DWORD desiredAccess) {
  return reinterpret_cast<SC_HANDLE>(::OpenSCManagerA(machineName, databaseName, desiredAccess));
}

BOOL EnumServicesStatusA(SC_HANDLE manager, DWORD serviceType, DWORD serviceState, ENUM_SERVICE_STATUSA* services,
                         DWORD bufSize, DWORD* bytesNeeded, DWORD* servicesReturned, DWORD* resumeHandle) {
  return ::EnumServicesStatusA(reinterpret_cast<::SC_HANDLE>(manager), serviceType, serviceState,
                               reinterpret_cast<::ENUM_SERVICE_STATUSA*>(services), bufSize,
                               reinterpret_cast<::DWORD*>(bytesNeeded), reinterpret_cast<::DWORD*>(servicesReturned),
                               reinterpret_cast<::DWORD*>(resumeHandle));
}

SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD desiredAccess) {
  return reinterpret_cast<SC_HANDLE>(::OpenServiceA(reinterpret_cast<::SC_HANDLE>(manager), serviceName, desiredAccess));
}

BOOL QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status) {
  return ::QueryServiceStatus(reinterpret_cast<::SC_HANDLE>(service), reinterpret_cast<::SERVICE_STATUS*>(status));
}

BOOL StartServiceA(SC_HANDLE service, DWORD numArgs, LPCSTR* args) {
  return ::StartServiceA(reinterpret_cast<::SC_HANDLE>(service), numArgs, args);
}

BOOL ControlService(SC_HANDLE service, DWORD control, SERVICE_STATUS* status) {
  return ::ControlService(reinterpret_cast<::SC_HANDLE>(service), control, reinterpret_cast<::SERVICE_STATUS*>(status));
}

BOOL CloseServiceHandle(SC_HANDLE handle) { return ::CloseServiceHandle(reinterpret_cast<::SC_HANDLE>(handle)); }

DWORD GetTickCount() { return ::GetTickCount(); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace os
