// Raw TCP transport of the test page, and the look-up of ".local" names.
// Each call starts and ends the socket library itself.
#pragma once
#include "os/sockets.h"

// Writes the dotted IPv4 text of the name's first IPv4 address into `out`
// (a 256-byte buffer). False when the name does not resolve to IPv4.
bool ResolveHostAddress(const char* name, char* out);

// A socket connected to address:port (dotted IPv4 text), its sends bounded
// by a time-out; INVALID_SOCKET when it cannot be made (with `diagnose`, the
// socket error is written as a diagnostic; WSAGetLastError has it either
// way). The caller owns it; the socket library must be started.
os::SOCKET ConnectToNetworkPrinter(const char* address, int port, bool diagnose = true);

// Connects to address:port (dotted IPv4 text) and sends `length` bytes.
// True when every byte was handed to the system; a refused connection or a
// failed send is false. Diagnostics go to standard output.
bool SendToNetworkPrinter(const char* address, int port, const unsigned char* data, int length);
