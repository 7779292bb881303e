#include "testprint/network_transport.h"

#include <cstdio>
#include <string>

#include "common/diagnostics.h"
#include "os/sockets.h"

namespace {

constexpr int kResolvedBufferSize = 256;
// A printer that stops taking bytes ends the send after this long.
constexpr os::DWORD kSendTimeoutMs = 30000;

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

os::SOCKET ConnectToNetworkPrinter(const char* address, int port, bool diagnose) {
  os::sockaddr_in target{};
  target.sin_family = os::AF_INET;
  target.sin_port = os::htons(static_cast<unsigned short>(port));
  target.sin_addr.S_un.S_addr = os::inet_addr(address);

  os::Socket s(os::socket(os::AF_INET, os::SOCK_STREAM, 0));
  if (s.get() == os::INVALID_SOCKET ||
      os::setsockopt(s.get(), os::SOL_SOCKET, os::SO_SNDTIMEO, reinterpret_cast<const char*>(&kSendTimeoutMs),
                     static_cast<int>(sizeof kSendTimeoutMs)) != 0) {
    if (diagnose) WriteDiagnostic("Socket() error:" + std::to_string(os::WSAGetLastError()));
    return os::INVALID_SOCKET;
  }
  if (os::connect(s.get(), &target, static_cast<int>(sizeof(target))) == os::SOCKET_ERROR) {
    if (diagnose) WriteDiagnostic("连接失败:" + std::to_string(os::WSAGetLastError()));
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
