// Registration of a Standard TCP/IP printer port for a network printer.
#pragma once
#include <string>

#include "common/address_kind.h"

// Creates (or opens) the port entry named after `address` under the Standard
// TCP/IP port monitor's "Ports" key, writes its nine values (raw TCP printing
// to `portNumber`), then restarts the spooler so that the port can be used.
// True when all nine values were written; at the first value that cannot be
// written it stops, leaving the spooler alone. Other values of an existing
// entry are kept. The restart's own result does not count.
[[nodiscard]] bool RegisterTcpIpPort(std::string address, int portNumber, AddressKind kind);

// What the registry says of the port entry named after `address`.
enum class TcpIpPortCheck {
  Registered,  // raw TCP to `portNumber` at `address`
  Missing,     // no entry of that name
  Different,   // an entry of that name for another host, protocol or port number
  Unreadable,  // the entry or the monitor's key could not be read
};
// Reads the entry RegisterTcpIpPort writes, changing nothing.
[[nodiscard]] TcpIpPortCheck CheckTcpIpPort(const std::string& address, int portNumber);
