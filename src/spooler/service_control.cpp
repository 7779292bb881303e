#include "spooler/service_control.h"

#include <cstring>
#include <utility>

namespace {

const char kSpooler[] = "spooler";
const char* const kPrerequisites[] = {"DcomLaunch", "RpcEptMapper", "RpcSs"};

// Query, start and stop rights only.
constexpr os::DWORD kServiceAccess = os::SERVICE_QUERY_STATUS | os::SERVICE_START | os::SERVICE_STOP;
constexpr int kAttempts = 4;
constexpr os::DWORD kPollMs = 50;
// A wait gives up once the whole seconds elapsed exceed these.
constexpr os::DWORD kStartLimitSeconds = 10;
constexpr os::DWORD kStopLimitSeconds = 20;

// Service names are ASCII; compare them as the platform does, case ignored.
bool SameName(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a;
    char cb = *b;
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

// Whole seconds since `start`; the unsigned difference stays right across a
// wrap of the tick counter.
os::DWORD SecondsSince(os::DWORD start) { return (os::GetTickCount() - start) / 1000; }

// False once more than `limit` whole seconds have passed since `start`;
// otherwise pauses one polling interval.
bool PauseWithin(os::DWORD start, os::DWORD limit) {
  if (SecondsSince(start) > limit) return false;
  os::Sleep(kPollMs);
  return true;
}

// Each test of a polling pass asks for the state afresh.
bool QueryIs(os::SC_HANDLE service, os::DWORD state) {
  os::SERVICE_STATUS status{};
  return os::QueryServiceStatus(service, &status) && status.dwCurrentState == state;
}

}  // namespace

ServiceConnection::ServiceConnection() : manager_(os::OpenSCManagerA(nullptr, nullptr, os::SC_MANAGER_ALL_ACCESS)) {
  if (manager_.get() == nullptr) return;
  os::DWORD needed = 0;
  os::DWORD returned = 0;
  if (os::EnumServicesStatusA(manager(), os::SERVICE_WIN32, os::SERVICE_STATE_ALL, nullptr, 0, &needed, &returned,
                              nullptr) ||
      os::GetLastError() != os::ERROR_MORE_DATA) {
    return;
  }
  os::HeapBlock snapshot(needed);
  if (!snapshot) return;
  std::memset(snapshot.get(), 0, needed);
  if (!os::EnumServicesStatusA(manager(), os::SERVICE_WIN32, os::SERVICE_STATE_ALL,
                               reinterpret_cast<os::ENUM_SERVICE_STATUSA*>(snapshot.get()), needed, &needed,
                               &returned, nullptr)) {
    return;
  }
  snapshot_ = std::move(snapshot);
  count_ = returned;
}

const os::ENUM_SERVICE_STATUSA* ServiceConnection::Find(const char* name) const {
  const auto* records = reinterpret_cast<const os::ENUM_SERVICE_STATUSA*>(snapshot_.get());
  for (os::DWORD i = 0; i < count_; ++i) {
    if (records[i].lpServiceName != nullptr && SameName(records[i].lpServiceName, name)) return &records[i];
  }
  return nullptr;
}

int StartServiceAndWait(const ServiceConnection& connection, const char* name) {
  if (connection.manager() == nullptr) return 0;
  os::ServiceHandle service(os::OpenServiceA(connection.manager(), name, kServiceAccess));
  if (service.get() == nullptr) return 0;
  const os::SC_HANDLE h = service.get();
  const os::DWORD start = os::GetTickCount();
  for (;;) {
    if (QueryIs(h, os::SERVICE_RUNNING)) return 1;
    os::SERVICE_STATUS status{};
    if (QueryIs(h, os::SERVICE_PAUSED)) {
      if (!os::ControlService(h, os::SERVICE_CONTROL_CONTINUE, &status)) return 0;
      if (!PauseWithin(start, kStartLimitSeconds)) return 0;
      continue;
    }
    if (QueryIs(h, os::SERVICE_STOPPED)) {
      // A service that stops again straight away is not started for ever.
      if (!os::StartServiceA(h, 0, nullptr)) return 0;
      if (!PauseWithin(start, kStartLimitSeconds)) return 0;
      continue;
    }
    if (!os::QueryServiceStatus(h, &status)) return 0;
    if (status.dwCurrentState != os::SERVICE_START_PENDING && status.dwCurrentState != os::SERVICE_CONTINUE_PENDING) {
      return 0;
    }
    if (!PauseWithin(start, kStartLimitSeconds)) return 0;
  }
}

int StopServiceAndWait(const ServiceConnection& connection, const char* name) {
  if (connection.manager() == nullptr) return 0;
  os::ServiceHandle service(os::OpenServiceA(connection.manager(), name, kServiceAccess));
  if (service.get() == nullptr) return 0;
  const os::SC_HANDLE h = service.get();
  const os::DWORD start = os::GetTickCount();
  for (;;) {
    if (QueryIs(h, os::SERVICE_STOPPED)) return 1;
    if (QueryIs(h, os::SERVICE_STOP_PENDING)) {
      if (!PauseWithin(start, kStopLimitSeconds)) return 0;
      continue;
    }
    // Running, paused, or not answering: ask it to stop. Services that depend
    // on it are not stopped first, so a refusal ends the attempt; an accepted
    // stop that never happens ends it at the deadline.
    os::SERVICE_STATUS status{};
    if (!os::ControlService(h, os::SERVICE_CONTROL_STOP, &status)) return 0;
    if (!PauseWithin(start, kStopLimitSeconds)) return 0;
  }
}

bool IsSpoolerRunning() {
  ServiceConnection connection;
  const os::ENUM_SERVICE_STATUSA* spooler = connection.Find(kSpooler);
  return spooler != nullptr && spooler->ServiceStatus.dwCurrentState == os::SERVICE_RUNNING;
}

int StopSpooler() {
  for (int failed = 0; failed < kAttempts; ++failed) {
    ServiceConnection connection;
    if (StopServiceAndWait(connection, kSpooler)) return 1;
  }
  return 0;
}

int StartSpooler() {
  for (int failed = 0; failed < kAttempts; ++failed) {
    ServiceConnection connection;
    for (const char* prerequisite : kPrerequisites) {
      const os::ENUM_SERVICE_STATUSA* listed = connection.Find(prerequisite);
      if (listed != nullptr && listed->ServiceStatus.dwCurrentState == os::SERVICE_RUNNING) continue;
      // A prerequisite that is missing or will not start is left to the spooler's own start to reveal.
      StartServiceAndWait(connection, prerequisite);
    }
    if (StartServiceAndWait(connection, kSpooler)) return 1;
  }
  return 0;
}

int RestartSpooler() {
  if (IsSpoolerRunning()) StopSpooler();
  return StartSpooler();
}
