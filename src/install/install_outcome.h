// What the printer UI really did: it exits 0 whatever became of the command,
// so the install asks the spooler afterwards.
#pragma once
#include <string>

// What the spooler says of the printer an install named.
enum class InstalledPrinter {
  Ours,         // the name, on the driver and port the install gave
  Missing,      // no printer of that name (or it cannot be opened)
  Unreadable,   // opened, but its record could not be read
  OtherDriver,  // a printer of that name on another driver
  OtherPort,    // on our driver, but on another port
  NotShared,    // ours, but not shared when the install asked for sharing
};

// The printer named `name` as the spooler has it (GetPrinterA level 2),
// compared with the driver (exactly) and port (ASCII case ignored) an install
// gave it: a printer that already had the name is no proof that the install ran.
// With `shared`, the printer must also be shared (PRINTER_ATTRIBUTE_SHARED).
[[nodiscard]] InstalledPrinter CheckInstalledPrinter(const std::string& name, const std::string& driver, const std::string& port,
                                       bool shared = false);
// Whether the default printer is the one named `name`.
[[nodiscard]] bool IsDefaultPrinter(const std::string& name);
