#include "fake_services.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>

#include "fake_os.h"
#include "os/services.h"

namespace fake {
namespace {

struct OpenHandle {
  bool manager = false;
  std::string service;
  std::uint32_t access = 0;
};

struct Handles {
  std::map<std::uintptr_t, OpenHandle> open;
  std::uintptr_t next = 0x5C0000;
};

Handles& handles() {
  static Handles* h = [] {
    auto* created = new Handles();
    OnReset([created] { *created = Handles(); });
    return created;
  }();
  return *h;
}

os::SC_HANDLE NewHandle(OpenHandle what) {
  Handles& h = handles();
  h.next += 4;
  h.open[h.next] = std::move(what);
  return reinterpret_cast<os::SC_HANDLE>(h.next);
}

OpenHandle* Lookup(os::SC_HANDLE handle) {
  auto it = handles().open.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles().open.end() ? nullptr : &it->second;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Applies a finished transition.
// A loop that starts or controls a service without ever pausing would run for
// ever against a service that never settles; stop it with an error instead.
void CountAccepted() {
  if (++services().accepted > 100000) throw std::runtime_error("over 100000 starts and controls: the loop never ends");
}

void Settle(Service& s) {
  if (s.settlesTo == 0 || s.settlesAfterMs == kNever) return;
  const std::uint32_t elapsed = services().tick - s.since;
  if (elapsed >= static_cast<std::uint64_t>(s.settlesAfterMs)) {
    s.state = s.settlesTo;
    s.settlesTo = 0;
  }
}

// The service behind a service handle with the wanted right, or null with the last error set.
Service* Target(os::SC_HANDLE handle, std::uint32_t right) {
  OpenHandle* h = Lookup(handle);
  if (h == nullptr || h->manager) {
    os::SetLastError(os::ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if ((h->access & right) != right) {
    os::SetLastError(os::ERROR_ACCESS_DENIED);
    return nullptr;
  }
  Service* s = services().Find(h->service);
  if (s == nullptr) {
    os::SetLastError(os::ERROR_SERVICE_DOES_NOT_EXIST);
    return nullptr;
  }
  Settle(*s);
  return s;
}

}  // namespace

Service& Service::Pending(std::uint32_t pendingState, std::uint32_t then, std::int64_t ms) {
  state = pendingState;
  settlesTo = then;
  settlesAfterMs = ms;
  since = services().tick;
  return *this;
}

ServiceManager& services() {
  static ServiceManager* m = [] {
    auto* created = new ServiceManager();
    OnReset([created] { *created = ServiceManager(); });
    return created;
  }();
  return *m;
}

Service& ServiceManager::Add(const std::string& name, std::uint32_t state) {
  Service s;
  s.name = name;
  s.state = state;
  services.push_back(s);
  return services.back();
}

void ServiceManager::AddSpoolerWithPrerequisites(std::uint32_t spoolerState) {
  Add("DcomLaunch", os::SERVICE_RUNNING);
  Add("RpcEptMapper", os::SERVICE_RUNNING);
  Add("RpcSs", os::SERVICE_RUNNING);
  Add("Spooler", spoolerState);
}

Service* ServiceManager::Find(const std::string& name) {
  for (Service& s : services) {
    if (SameName(s.name, name)) return &s;
  }
  return nullptr;
}

std::uint32_t ServiceManager::StateOf(const std::string& name) {
  Service* s = Find(name);
  if (s == nullptr) return 0;
  Settle(*s);
  return s->state;
}

int ServiceManager::OpenHandles() const { return static_cast<int>(handles().open.size()); }

}  // namespace fake

namespace os {

SC_HANDLE OpenSCManagerA(LPCSTR, LPCSTR, DWORD desiredAccess) {
  if (fake::Called("OpenSCManagerA")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return fake::NewHandle({true, "", desiredAccess});
}

// Packs the records first and their strings behind them, as the manager does.
BOOL EnumServicesStatusA(SC_HANDLE manager, DWORD serviceType, DWORD serviceState, ENUM_SERVICE_STATUSA* buffer,
                         DWORD bufSize, DWORD* bytesNeeded, DWORD* servicesReturned, DWORD*) {
  const bool failed = fake::Called("EnumServicesStatusA");
  *servicesReturned = 0;
  fake::OpenHandle* h = fake::Lookup(manager);
  if (h == nullptr || !h->manager) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (serviceType != SERVICE_WIN32 || serviceState != SERVICE_STATE_ALL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  auto& all = fake::services().services;
  DWORD needed = static_cast<DWORD>(all.size() * sizeof(ENUM_SERVICE_STATUSA));
  for (const auto& s : all) needed += static_cast<DWORD>(2 * (s.name.size() + 1));
  *bytesNeeded = needed;
  if (bufSize < needed || (needed > 0 && buffer == nullptr)) {
    SetLastError(ERROR_MORE_DATA);
    return FALSE;
  }
  char* strings = reinterpret_cast<char*>(buffer) + all.size() * sizeof(ENUM_SERVICE_STATUSA);
  auto put = [&strings](const std::string& text) {
    char* at = strings;
    std::memcpy(at, text.c_str(), text.size() + 1);
    strings += text.size() + 1;
    return at;
  };
  DWORD i = 0;
  for (auto& s : all) {
    fake::Settle(s);
    ENUM_SERVICE_STATUSA& record = buffer[i++];
    record.lpServiceName = put(s.name);
    record.lpDisplayName = put(s.name);  // display name: the service name again
    record.ServiceStatus = SERVICE_STATUS{};
    record.ServiceStatus.dwServiceType = 0x20;  // SERVICE_WIN32_SHARE_PROCESS
    record.ServiceStatus.dwCurrentState = s.state;
  }
  *servicesReturned = i;
  return TRUE;
}

SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD desiredAccess) {
  const bool failed = fake::Called("OpenServiceA");
  fake::OpenHandle* h = fake::Lookup(manager);
  if (h == nullptr || !h->manager) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (fake::services().Find(serviceName) == nullptr) {
    SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
    return nullptr;
  }
  return fake::NewHandle({false, serviceName, desiredAccess});
}

BOOL QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status) {
  const bool failed = fake::Called("QueryServiceStatus");
  fake::Service* s = fake::Target(service, SERVICE_QUERY_STATUS);
  if (s == nullptr) return FALSE;
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  *status = SERVICE_STATUS{};
  status->dwServiceType = 0x20;
  status->dwCurrentState = s->state;
  return TRUE;
}

BOOL StartServiceA(SC_HANDLE service, DWORD, LPCSTR*) {
  const bool failed = fake::Called("StartServiceA");
  fake::Service* s = fake::Target(service, SERVICE_START);
  if (s == nullptr) return FALSE;
  if (failed || s->refusesStart) {
    SetLastError(ERROR_SERVICE_DISABLED);
    return FALSE;
  }
  if (s->state != SERVICE_STOPPED) {
    SetLastError(ERROR_SERVICE_ALREADY_RUNNING);
    return FALSE;
  }
  fake::services().started.push_back(s->name);
  fake::CountAccepted();
  if (s->stopsAgain) return TRUE;
  s->Pending(SERVICE_START_PENDING, SERVICE_RUNNING, s->startMs);
  fake::Settle(*s);
  return TRUE;
}

// The handle is opened without the pause-and-continue right, and whether the
// platform then lets a paused service continue is open; the fake accepts the
// continue control unless the service is scripted to refuse it.
BOOL ControlService(SC_HANDLE service, DWORD control, SERVICE_STATUS* status) {
  const bool failed = fake::Called("ControlService");
  fake::Service* s = fake::Target(service, control == SERVICE_CONTROL_STOP ? SERVICE_STOP : 0);
  if (s == nullptr) return FALSE;
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (control == SERVICE_CONTROL_STOP) {
    if (s->state == SERVICE_STOPPED) {
      SetLastError(ERROR_SERVICE_NOT_ACTIVE);
      return FALSE;
    }
    if (s->refusesStop) {
      SetLastError(ERROR_DEPENDENT_SERVICES_RUNNING);
      return FALSE;
    }
    if (s->state != SERVICE_RUNNING && s->state != SERVICE_PAUSED) {
      SetLastError(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
      return FALSE;
    }
    if (!s->ignoresControls) s->Pending(SERVICE_STOP_PENDING, SERVICE_STOPPED, s->stopMs);
  } else if (control == SERVICE_CONTROL_CONTINUE) {
    if (s->state != SERVICE_PAUSED) {
      SetLastError(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
      return FALSE;
    }
    if (s->refusesContinue) {
      SetLastError(ERROR_INVALID_SERVICE_CONTROL);
      return FALSE;
    }
    if (!s->ignoresControls) s->Pending(SERVICE_CONTINUE_PENDING, SERVICE_RUNNING, s->continueMs);
  } else {
    SetLastError(ERROR_INVALID_SERVICE_CONTROL);
    return FALSE;
  }
  fake::CountAccepted();
  fake::Settle(*s);
  *status = SERVICE_STATUS{};
  status->dwCurrentState = s->state;
  return TRUE;
}

BOOL CloseServiceHandle(SC_HANDLE handle) {
  fake::Called("CloseServiceHandle");
  if (fake::handles().open.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) {
    ++fake::services().badCloses;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD GetTickCount() {
  fake::Called("GetTickCount");
  return fake::services().tick;
}

void Sleep(DWORD milliseconds) {
  fake::Called("Sleep");
  fake::ServiceManager& m = fake::services();
  m.tick += milliseconds;
  m.slept += milliseconds;
  // Every wait of the program is bounded by seconds: a wait that has run for
  // an hour of fake time never ends, and the test says so instead of hanging.
  if (m.slept > 3600ull * 1000ull) throw std::runtime_error("Sleep: over an hour of waiting; the wait never ends");
}

}  // namespace os
