// What the printer UI really did: it exits 0 whatever became of the command,
// so the install asks the spooler afterwards.
#pragma once
#include <string>

// Whether the spooler holds a printer named `name` (it can be opened).
bool PrinterExists(const std::string& name);
// Whether the default printer is the one named `name`.
bool IsDefaultPrinter(const std::string& name);
