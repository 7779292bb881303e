// Taking a printer driver out of the local spooler: the printers that use it
// (after deleting their queued jobs), then the driver, then a spooler restart.
// Names match exactly, case counting. Nothing here shows a message.
#pragma once
#include "os/spooler.h"
#include "process/child_runs.h"

// Removes every printer whose driver is `driver.pName`: its queued jobs are
// deleted (cancelled on systems whose version byte has bit 7 set), the printer
// is closed and removed with "rundll32 printui.dll,PrintUIEntry /dl /n "NAME""
// (the system folder's rundll32, no command interpreter); a printer whose name
// would not arrive intact in quotes is deleted through the spooler instead.
// The removal command runs and is waited for as `runs` says. 1 when all went
// (also when none used the driver); 0 at the first failure.
[[nodiscard]] int RemovePrintersOfDriver(const os::DRIVER_INFO_3A& driver, const ChildRuns& runs = ChildRuns{});

// Removes the printers of, and then deletes, every installed driver named
// `name`, restarting the spooler after each. Starts the spooler first if it is
// down (whatever the outcome). 1 when all went (also when none matched); 0 at
// the first failure, including a spooler that cannot be restarted.
[[nodiscard]] int RemoveDriver(const char* name, const ChildRuns& runs = ChildRuns{});
