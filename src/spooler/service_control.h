// Stopping and starting the print spooler ("spooler") and the services it
// needs. Every wait is a bounded polling loop on the calling thread; nothing
// here shows a message.
#pragma once
#include "os/memory.h"
#include "os/os_types.h"
#include "os/services.h"

// A Service Control Manager handle and one snapshot of every Win32 service,
// taken when the connection opens and never refreshed. Both are released when
// the connection goes out of scope.
class ServiceConnection {
 public:
  ServiceConnection();

  os::SC_HANDLE manager() const { return manager_.get(); }
  os::DWORD count() const { return count_; }
  // The snapshot's record of the first service named `name` (case ignored), or null.
  [[nodiscard]] const os::ENUM_SERVICE_STATUSA* Find(const char* name) const;

 private:
  os::ServiceHandle manager_;
  os::HeapBlock snapshot_;
  os::DWORD count_ = 0;
};

// True when the snapshot lists "spooler" as running.
[[nodiscard]] bool IsSpoolerRunning();
// 1 when the spooler reached the stopped state, 0 after four failed attempts.
int StopSpooler();
// Starts "DcomLaunch", "RpcEptMapper" and "RpcSs" unless the snapshot shows them
// running (their results do not count), then the spooler: 1 when it runs, 0
// after four failed attempts.
int StartSpooler();
// Stops the spooler if it runs (result ignored), then returns StartSpooler().
int RestartSpooler();

// Brings `name` to the running state (starting it, or continuing it if paused)
// and waits for it: 1 running, 0 failed, refused, or still pending after 11 s.
int StartServiceAndWait(const ServiceConnection& connection, const char* name);
// Brings `name` to the stopped state and waits for it: 1 stopped, 0 refused
// or still stopping after 21 s.
[[nodiscard]] int StopServiceAndWait(const ServiceConnection& connection, const char* name);
