#include "fake_network.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

#include "fake_os.h"
#include "os/sockets.h"

namespace fake {
namespace {

struct SocketState {
  std::string peer;  // "a.b.c.d:port" once connected
  unsigned sendTimeout = 0;  // SO_SNDTIMEO in milliseconds
  unsigned receiveTimeout = 0;  // SO_RCVTIMEO in milliseconds
  std::string incoming;      // the printer's answers not yet received
  bool nonBlocking = false;  // FIONBIO
  std::string connecting;    // "a.b.c.d:port" while a non-blocking connect is under way
  int pendingError = 0;      // SO_ERROR
};

struct Sockets {
  std::map<os::SOCKET, SocketState> open;
  os::SOCKET next = 100;
  int lastError = 0;
  // Storage behind the hostent that gethostbyname hands out, as the platform
  // keeps one per thread.
  os::hostent entry{};
  std::vector<std::string> text;
  std::vector<std::uint32_t> raw;
  std::vector<char*> list;
  char ntoa[16] = {};
};

Sockets& sockets() {
  static Sockets* s = [] {
    auto* created = new Sockets();
    OnReset([created] { *created = Sockets(); });
    return created;
  }();
  return *s;
}

std::string Dotted(std::uint32_t networkOrder) {
  const auto* b = reinterpret_cast<const unsigned char*>(&networkOrder);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return text;
}

}  // namespace

Listener& Network::Listen(const std::string& address, int port) {
  return listeners[address + ":" + std::to_string(port)];
}

Network& network() {
  static Network* n = [] {
    auto* created = new Network();
    OnReset([created] { *created = Network(); });
    return created;
  }();
  return *n;
}

}  // namespace fake

namespace os {

int WSAStartup(WORD, WSADATA* data) {
  if (fake::Called("WSAStartup")) return 10091;  // WSASYSNOTREADY
  std::memset(data, 0, sizeof(*data));
  data->wVersion = 0x0202;
  data->wHighVersion = 0x0202;
  ++fake::network().startups;
  return 0;
}

int WSACleanup() {
  fake::Called("WSACleanup");
  --fake::network().startups;
  return 0;
}

int WSAGetLastError() { return fake::sockets().lastError; }

hostent* gethostbyname(const char* name) {
  fake::Called("gethostbyname");
  auto& net = fake::network();
  auto it = net.names.find(name);
  if (it == net.names.end()) {
    fake::sockets().lastError = 11001;  // WSAHOST_NOT_FOUND
    return nullptr;
  }
  auto& s = fake::sockets();
  s.raw.clear();
  s.list.clear();
  for (const auto& a : it->second.addresses) s.raw.push_back(inet_addr(a.c_str()));
  for (auto& r : s.raw) s.list.push_back(reinterpret_cast<char*>(&r));
  s.list.push_back(nullptr);
  s.text = {name};
  s.entry.h_name = s.text[0].data();
  s.entry.h_aliases = nullptr;
  s.entry.h_addrtype = it->second.addressType;
  s.entry.h_length = it->second.addressType == 2 ? 4 : 16;
  s.entry.h_addr_list = s.list.data();
  return &s.entry;
}

char* inet_ntoa(in_addr address) {
  auto& s = fake::sockets();
  std::snprintf(s.ntoa, sizeof s.ntoa, "%s", fake::Dotted(address.S_un.S_addr).c_str());
  return s.ntoa;
}

std::uint32_t inet_addr(const char* text) {
  unsigned a, b, c, d;
  char tail;
  if (std::sscanf(text, "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 || c > 255 || d > 255) {
    return 0xFFFFFFFFu;  // INADDR_NONE
  }
  return a | b << 8 | c << 16 | d << 24;
}

unsigned short htons(unsigned short value) { return static_cast<unsigned short>(value << 8 | value >> 8); }

SOCKET socket(int family, int type, int) {
  auto& s = fake::sockets();
  if (fake::Called("socket") || family != AF_INET || type != SOCK_STREAM) {
    s.lastError = 10047;  // WSAEAFNOSUPPORT
    return INVALID_SOCKET;
  }
  const SOCKET id = s.next++;
  s.open[id] = {};
  ++fake::network().openSockets;
  return id;
}

int connect(SOCKET id, const sockaddr_in* address, int length) {
  auto& s = fake::sockets();
  auto& net = fake::network();
  const std::string peer = fake::Dotted(address->sin_addr.S_un.S_addr) + ":" +
                           std::to_string(htons(address->sin_port));
  auto it = s.open.find(id);
  if (fake::Called("connect") || it == s.open.end() || length != 16 || address->sin_family != AF_INET ||
      (net.failsAtOnce && net.listeners.count(peer) == 0 && net.silent.count(peer) == 0)) {
    s.lastError = it == s.open.end() ? 10038 : net.connectError;  // WSAENOTSOCK
    return SOCKET_ERROR;
  }
  fake::SocketState& state = it->second;
  if (state.nonBlocking) {
    state.connecting = peer;  // select tells how it ends
    s.lastError = WSAEWOULDBLOCK;
    return SOCKET_ERROR;
  }
  if (net.silent.count(peer) != 0) {
    net.hung = true;  // the real call waits for the system's own give-up, 21 s and more
    s.lastError = WSAETIMEDOUT;
    return SOCKET_ERROR;
  }
  if (net.listeners.count(peer) == 0) {
    s.lastError = net.connectError;
    return SOCKET_ERROR;
  }
  state.peer = peer;
  net.sendTimeouts.push_back(state.sendTimeout);
  ++net.listeners[peer].connections;
  return 0;
}

int ioctlsocket(SOCKET id, long cmd, u_long* argp) {
  auto it = fake::sockets().open.find(id);
  if (fake::Called("ioctlsocket") || it == fake::sockets().open.end() || cmd != FIONBIO || argp == nullptr) {
    fake::sockets().lastError = it == fake::sockets().open.end() ? 10038 : 10022;  // WSAENOTSOCK, WSAEINVAL
    return SOCKET_ERROR;
  }
  it->second.nonBlocking = *argp != 0;
  return 0;
}

int select(int, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const timeval* timeout) {
  auto& s = fake::sockets();
  auto& net = fake::network();
  net.selectTimeoutsMs.push_back(timeout == nullptr ? -1L : timeout->tv_sec * 1000L + timeout->tv_usec / 1000L);
  if (fake::Called("select")) {
    s.lastError = 10050;  // WSAENETDOWN
    return SOCKET_ERROR;
  }
  // Only connections under way become ready here: a connection that comes up
  // is writable, one that fails goes to the except set with its error.
  fd_set writable{}, failed{};
  auto settle = [&](fd_set* set) {
    if (set == nullptr) return true;
    if (set->fd_count > 64) return false;
    for (unsigned i = 0; i < set->fd_count; ++i) {
      auto it = s.open.find(set->fd_array[i]);
      if (it == s.open.end()) return false;
      fake::SocketState& state = it->second;
      const std::string peer = state.connecting;
      if (peer.empty() || net.silent.count(peer) != 0) continue;
      state.connecting.clear();
      if (net.listeners.count(peer) != 0) {
        state.peer = peer;
        net.sendTimeouts.push_back(state.sendTimeout);
        ++net.listeners[peer].connections;
        writable.fd_array[writable.fd_count++] = set->fd_array[i];
      } else {
        state.pendingError = net.connectError;
        failed.fd_array[failed.fd_count++] = set->fd_array[i];
      }
    }
    return true;
  };
  // A socket given in both sets settles once; each set then keeps the
  // sockets ready in its own sense.
  std::set<SOCKET> wasWritable, wasFailed;
  if (!settle(writefds) || !settle(exceptfds)) {
    s.lastError = 10038;  // WSAENOTSOCK
    return SOCKET_ERROR;
  }
  for (unsigned i = 0; i < writable.fd_count; ++i) wasWritable.insert(writable.fd_array[i]);
  for (unsigned i = 0; i < failed.fd_count; ++i) wasFailed.insert(failed.fd_array[i]);
  auto keep = [](fd_set* set, const std::set<SOCKET>& ready) {
    if (set == nullptr) return 0;
    unsigned kept = 0;
    for (unsigned i = 0; i < set->fd_count; ++i) {
      if (ready.count(set->fd_array[i]) != 0) set->fd_array[kept++] = set->fd_array[i];
    }
    set->fd_count = kept;
    return static_cast<int>(kept);
  };
  if (readfds != nullptr) readfds->fd_count = 0;
  const int ready = keep(writefds, wasWritable) + keep(exceptfds, wasFailed);
  if (ready == 0 && timeout == nullptr) net.hung = true;  // the real one would wait for ever
  return ready;
}

int getsockopt(SOCKET id, int level, int name, char* value, int* length) {
  auto it = fake::sockets().open.find(id);
  if (fake::Called("getsockopt") || it == fake::sockets().open.end() || value == nullptr || length == nullptr ||
      level != SOL_SOCKET || name != SO_ERROR || *length < static_cast<int>(sizeof(int))) {
    fake::sockets().lastError = it == fake::sockets().open.end() ? 10038 : 10014;  // WSAENOTSOCK, WSAEFAULT
    return SOCKET_ERROR;
  }
  std::memcpy(value, &it->second.pendingError, sizeof(int));
  *length = static_cast<int>(sizeof(int));
  it->second.pendingError = 0;  // reading clears it, as on the platform
  return 0;
}

int setsockopt(SOCKET id, int level, int name, const char* value, int length) {
  auto it = fake::sockets().open.find(id);
  if (fake::Called("setsockopt") || it == fake::sockets().open.end() || value == nullptr) {
    fake::sockets().lastError = 10038;  // WSAENOTSOCK
    return SOCKET_ERROR;
  }
  if (level == SOL_SOCKET && name == SO_SNDTIMEO && length == static_cast<int>(sizeof(std::uint32_t))) {
    std::memcpy(&it->second.sendTimeout, value, sizeof(std::uint32_t));
  }
  if (level == SOL_SOCKET && name == SO_RCVTIMEO && length == static_cast<int>(sizeof(std::uint32_t))) {
    std::memcpy(&it->second.receiveTimeout, value, sizeof(std::uint32_t));
  }
  return 0;
}

int send(SOCKET id, const char* data, int length, int) {
  auto& s = fake::sockets();
  auto& net = fake::network();
  net.sendSizes.push_back(length);
  if (net.sendSizes.size() > 100000) throw std::runtime_error("send: over 100000 calls; the loop never ends");
  auto it = s.open.find(id);
  if (fake::Called("send") || it == s.open.end() || it->second.peer.empty() || length < 0) {
    s.lastError = 10054;  // WSAECONNRESET
    return SOCKET_ERROR;
  }
  if (it->second.nonBlocking) ++net.nonBlockingSends;
  fake::Listener& printer = net.listeners[it->second.peer];
  if (printer.stalls && length > 0) {
    if (it->second.sendTimeout == 0) net.hung = true;
    s.lastError = 10060;  // WSAETIMEDOUT
    return SOCKET_ERROR;
  }
  int taken = length;
  if (printer.maxPerSend != 0) taken = std::max(0, std::min(taken, printer.maxPerSend));
  printer.received.append(data, static_cast<size_t>(taken));
  // The printer answers each real-time status request it has an answer for.
  for (int i = 0; i + 2 < taken; ++i) {
    if (data[i] != 0x10 || data[i + 1] != 0x04) continue;
    auto answer = printer.statusAnswers.find(data[i + 2]);
    if (answer != printer.statusAnswers.end()) it->second.incoming += static_cast<char>(answer->second);
  }
  return taken;
}

int recv(SOCKET id, char* data, int length, int) {
  auto& s = fake::sockets();
  auto& net = fake::network();
  auto it = s.open.find(id);
  if (fake::Called("recv") || it == s.open.end() || it->second.peer.empty() || length < 0) {
    s.lastError = 10054;  // WSAECONNRESET
    return SOCKET_ERROR;
  }
  net.receiveTimeouts.push_back(it->second.receiveTimeout);
  if (it->second.incoming.empty()) {
    if (it->second.receiveTimeout == 0) net.hung = true;  // the real call would wait for ever
    s.lastError = 10060;  // WSAETIMEDOUT
    return SOCKET_ERROR;
  }
  const int n = std::min<int>(length, static_cast<int>(it->second.incoming.size()));
  std::memcpy(data, it->second.incoming.data(), static_cast<size_t>(n));
  it->second.incoming.erase(0, static_cast<size_t>(n));
  return n;
}

int closesocket(SOCKET id) {
  fake::Called("closesocket");
  if (fake::sockets().open.erase(id) != 0) --fake::network().openSockets;
  return 0;
}

}  // namespace os
