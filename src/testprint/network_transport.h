// Raw TCP transport of the test page, and the look-up of ".local" names.
// Each call starts and ends the socket library itself.
#pragma once
#include "os/sockets.h"

// The label of the diagnostic line of a connection that failed ("连接失败:"
// and the socket error by code and name).
inline constexpr const char kDiagConnectFailed[] = "连接失败";
// How long a connection may take to come up; then it has failed (WSAETIMEDOUT).
inline constexpr int kConnectTimeoutSeconds = 5;

// Writes the dotted IPv4 text of the name's first IPv4 address into `out`
// (a 256-byte buffer). False when the name does not resolve to IPv4.
[[nodiscard]] bool ResolveHostAddress(const char* name, char* out);

// A socket connected to address:port (dotted IPv4 text) within
// kConnectTimeoutSeconds, its sends bounded by a time-out; INVALID_SOCKET
// when it cannot be made: refused, unreachable or not up in time (with
// `diagnose`, the socket error goes to the diagnostics, common/diagnostics.h,
// and with `error` it is stored there; a time-out is WSAETIMEDOUT). The caller
// owns it; the socket library must be started.
[[nodiscard]] os::SOCKET ConnectToNetworkPrinter(const char* address, int port, bool diagnose = true, int* error = nullptr);

// Connects to address:port as ConnectToNetworkPrinter does and sends `length`
// bytes. True when every byte was handed to the system; a connection that
// failed or a failed send is false.
[[nodiscard]] bool SendToNetworkPrinter(const char* address, int port, const unsigned char* data, int length);
