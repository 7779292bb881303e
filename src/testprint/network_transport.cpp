#include "testprint/network_transport.h"

#include <cstdio>
#include <string>

#include "common/diagnostics.h"
#include "os/sockets.h"
#include "testprint/socket_errors.h"

namespace {

constexpr int kResolvedBufferSize = 256;
// A printer that stops taking bytes ends the send after this long.
constexpr os::DWORD kSendTimeoutMs = 30000;

// Waits for the connection that a non-blocking connect began: 0 once it is
// up, else the socket error (WSAETIMEDOUT when nothing happened in time).
int AwaitConnection(os::SOCKET s) {
  os::fd_set writable{};
  writable.fd_count = 1;
  writable.fd_array[0] = s;
  os::fd_set failed = writable;
  const os::timeval limit{kConnectTimeoutSeconds, 0};
  const int ready = os::select(0, nullptr, &writable, &failed, &limit);
  if (ready == os::SOCKET_ERROR) return os::WSAGetLastError();
  if (ready == 0) return os::WSAETIMEDOUT;
  int error = 0;
  int size = static_cast<int>(sizeof error);
  if (os::getsockopt(s, os::SOL_SOCKET, os::SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) {
    return os::WSAGetLastError();
  }
  if (error != 0) return error;
  // Windows puts a failed connection in the except set; writable alone is up.
  return writable.fd_count == 1 && failed.fd_count == 0 ? 0 : 10057;  // WSAENOTCONN
}

// Connects `s` to `target` within kConnectTimeoutSeconds, on this thread:
// 0, or the socket error. The socket is left blocking again, as the send
// relies on SO_SNDTIMEO.
int ConnectWithin(os::SOCKET s, const os::sockaddr_in& target) {
  os::u_long mode = 1;
  if (os::ioctlsocket(s, os::FIONBIO, &mode) != 0) return os::WSAGetLastError();
  if (os::connect(s, &target, static_cast<int>(sizeof(target))) == os::SOCKET_ERROR) {
    const int error = os::WSAGetLastError();
    if (error != os::WSAEWOULDBLOCK) return error;
    const int outcome = AwaitConnection(s);
    if (outcome != 0) return outcome;
  }
  mode = 0;
  if (os::ioctlsocket(s, os::FIONBIO, &mode) != 0) return os::WSAGetLastError();
  return 0;
}

}  // namespace

bool ResolveHostAddress(const char* name, char* out) {
  if (name == nullptr || out == nullptr) return false;
  os::SocketLibrary library;
  if (!library.ready()) return false;
  const os::hostent* host = os::gethostbyname(name);
  // Only an IPv4 answer can be dialled by the transport.
  if (host == nullptr || host->h_addrtype != os::AF_INET || host->h_length != 4 ||
      host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
    return false;
  }
  os::in_addr first{};
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
  first.S_un.S_un_b = {bytes[0], bytes[1], bytes[2], bytes[3]};
  const char* dotted = os::inet_ntoa(first);
  if (dotted == nullptr) return false;
  std::snprintf(out, kResolvedBufferSize, "%s", dotted);
  return true;
}

os::SOCKET ConnectToNetworkPrinter(const char* address, int port, bool diagnose, int* error) {
  os::sockaddr_in target{};
  target.sin_family = os::AF_INET;
  target.sin_port = os::htons(static_cast<unsigned short>(port));
  target.sin_addr.S_un.S_addr = os::inet_addr(address);

  os::Socket s(os::socket(os::AF_INET, os::SOCK_STREAM, 0));
  if (s.get() == os::INVALID_SOCKET ||
      os::setsockopt(s.get(), os::SOL_SOCKET, os::SO_SNDTIMEO, reinterpret_cast<const char*>(&kSendTimeoutMs),
                     static_cast<int>(sizeof kSendTimeoutMs)) != 0) {
    const int failure = os::WSAGetLastError();
    if (error != nullptr) *error = failure;
    if (diagnose) WriteDiagnostic("Socket() error:" + SocketErrorText(failure));
    return os::INVALID_SOCKET;
  }
  const int failure = ConnectWithin(s.get(), target);
  if (failure != 0) {
    if (error != nullptr) *error = failure;
    if (diagnose) WriteDiagnostic(kDiagConnectFailed, ":" + SocketErrorText(failure));
    return os::INVALID_SOCKET;
  }
  return s.release();
}

bool SendToNetworkPrinter(const char* address, int port, const unsigned char* data, int length) {
  os::SocketLibrary library;
  if (!library.ready()) return false;
  os::Socket s(ConnectToNetworkPrinter(address, port));
  if (s.get() == os::INVALID_SOCKET) return false;
  // Each send takes what the system accepts; the first is made even for an empty run.
  int sent = 0;
  do {
    const int taken = os::send(s.get(), reinterpret_cast<const char*>(data) + sent, length - sent, 0);
    // An error ends the loop; so does a send that takes nothing, which would
    // otherwise repeat for ever.
    if (taken < 0 || (taken == 0 && length > 0)) return false;
    sent += taken;
  } while (sent < length);
  return true;
}
