// The fake Service Control Manager: services whose states change over a fake
// millisecond tick counter. Sleep advances the counter instead of sleeping, so
// waits of many seconds run at once, and the counter wraps at 2^32 as the
// platform's does. Time passes only through Sleep (or a test setting `tick`).
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace fake {

// How long a scripted transition takes; kNever keeps the service pending.
constexpr std::int64_t kNever = -1;

struct Service {
  std::string name;
  std::uint32_t state = 1;  // SERVICE_STOPPED

  // What the service does when asked. Each accepted request puts it in the
  // matching pending state for that many milliseconds of the tick counter.
  std::int64_t startMs = 0;     // StartServiceA: START_PENDING, then RUNNING
  std::int64_t stopMs = 0;      // stop control: STOP_PENDING, then STOPPED
  std::int64_t continueMs = 0;  // continue control: CONTINUE_PENDING, then RUNNING
  bool refusesStart = false;     // StartServiceA fails (disabled)
  bool refusesStop = false;      // stop control fails (a running service depends on it)
  bool refusesContinue = false;  // continue control fails
  bool ignoresControls = false;  // stop and continue controls accepted, and the service keeps its state
  bool stopsAgain = false;       // StartServiceA accepted, and the service is stopped again at once

  // A pending state in progress: `state` turns into `settlesTo` once
  // `settlesAfterMs` have passed since `since`.
  std::uint32_t settlesTo = 0;
  std::int64_t settlesAfterMs = 0;
  std::uint32_t since = 0;

  // Puts the service in `pendingState` now, to become `then` after `ms` (kNever: stays).
  Service& Pending(std::uint32_t pendingState, std::uint32_t then, std::int64_t ms);
};

struct ServiceManager {
  std::uint32_t tick = 0;  // what GetTickCount answers
  std::uint64_t slept = 0; // milliseconds of Sleep in this test; past an hour, Sleep throws
  std::uint64_t accepted = 0;  // starts and controls accepted; past 100000, the next throws

  // Arrange. Services are listed in the order they were added.
  Service& Add(const std::string& name, std::uint32_t state);
  // The spooler's three prerequisites running and the spooler in `spoolerState`.
  void AddSpoolerWithPrerequisites(std::uint32_t spoolerState);

  // Inspect.
  Service* Find(const std::string& name);          // case ignored; null if absent
  std::uint32_t StateOf(const std::string& name);  // current state, transitions applied
  int OpenHandles() const;                         // manager and service handles not closed
  std::vector<std::string> started;                // services whose StartServiceA was accepted, in order
  int badCloses = 0;                               // CloseServiceHandle of an unknown or closed handle

  std::deque<Service> services;                    // references from Add stay valid
};

ServiceManager& services();

}  // namespace fake
