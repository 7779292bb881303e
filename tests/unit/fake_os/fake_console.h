// The fake process start-up: the command line, the console of the parent
// (attachable or not) and a standard output handle the parent may have
// redirected. Console output lands in the device "CONOUT$", redirected output
// in the device "<stdout>" (see fake_devices.h); only "CONOUT$" is a console,
// and what WriteConsoleW shows there is kept as UTF-16. The code page
// conversions know 936 (GBK) and 65001 (UTF-8), through iconv.
#pragma once
#include <string>

namespace fake {

struct Console {
  std::string commandLine = "lumatrek-setup.exe";
  bool parentConsole = true;  // AttachConsole(ATTACH_PARENT_PROCESS) succeeds
  bool redirected = false;    // GetStdHandle(STD_OUTPUT_HANDLE) returns "<stdout>"
  bool attached = false;      // AttachConsole succeeded
  std::u16string shown;       // what WriteConsoleW wrote
  // Everything written to the console (shown as UTF-8) or the redirected output.
  std::string Output() const;
};

Console& console();

}  // namespace fake
