// The fake process start-up: the command line, the console of the parent
// (attachable or not) and a standard output handle the parent may have
// redirected. Console output lands in the device "CONOUT$", redirected output
// in the device "<stdout>" (see fake_devices.h).
#pragma once
#include <string>

namespace fake {

struct Console {
  std::string commandLine = "lumatrek-setup.exe";
  bool parentConsole = true;  // AttachConsole(ATTACH_PARENT_PROCESS) succeeds
  bool redirected = false;    // GetStdHandle(STD_OUTPUT_HANDLE) returns "<stdout>"
  bool attached = false;      // AttachConsole succeeded
  // Everything written to the console or the redirected output.
  std::string Output() const;
};

Console& console();

}  // namespace fake
