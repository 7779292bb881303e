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
bool RegisterTcpIpPort(std::string address, int portNumber, AddressKind kind);
