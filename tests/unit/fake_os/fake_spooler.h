// The fake print spooler: its ports (and, later, printers, jobs and drivers).
#pragma once
#include <string>
#include <vector>

namespace fake {

struct Port {
  std::string name;
  std::string monitor = "Local Port";
  std::string description = "Local Port";
};

struct Spooler {
  std::vector<Port> ports;  // in the order EnumPortsA reports them
};

Spooler& spooler();

}  // namespace fake
