// Windows Sockets 2 calls for the raw TCP test print and the ".local" name
// look-up, with the platform's records (32-bit layouts).
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

using SOCKET = std::uintptr_t;
using u_long = std::uint32_t;  // the platform's 32-bit unsigned long

#ifndef _WINSOCK2API_
constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};  // all bits set, at pointer width
constexpr int SOCKET_ERROR = -1;
constexpr int AF_INET = 2;
constexpr int SOCK_STREAM = 1;
constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_SNDTIMEO = 0x1005;  // a DWORD of milliseconds
constexpr int SO_RCVTIMEO = 0x1006;  // a DWORD of milliseconds
constexpr int SO_ERROR = 0x1007;     // an int: the socket's pending error, cleared by the reading
// _IOW('f', 126, u_long): switches non-blocking mode on (non-zero) or off.
constexpr long FIONBIO = static_cast<long>(static_cast<std::int32_t>(0x8004667Eu));
constexpr int WSAEWOULDBLOCK = 10035;  // a non-blocking connect has begun
constexpr int WSAETIMEDOUT = 10060;
#endif

// A set of sockets for select: fd_count entries of fd_array are used.
struct fd_set {
  unsigned int fd_count;
  SOCKET fd_array[64];  // the platform's FD_SETSIZE
};

// Seconds and microseconds, each the platform's 32-bit long.
struct timeval {
  std::int32_t tv_sec;
  std::int32_t tv_usec;
};

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};

struct in_addr {
  union {
    struct {
      BYTE s_b1, s_b2, s_b3, s_b4;
    } S_un_b;
    std::uint32_t S_addr;  // network byte order
  } S_un;
};

struct sockaddr_in {
  short sin_family;
  unsigned short sin_port;  // network byte order
  in_addr sin_addr;
  char sin_zero[8];
};

struct hostent {
  char* h_name;
  char** h_aliases;
  short h_addrtype;
  short h_length;
  char** h_addr_list;
};

int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
int WSAGetLastError();
hostent* gethostbyname(const char* name);
char* inet_ntoa(in_addr address);
std::uint32_t inet_addr(const char* text);
unsigned short htons(unsigned short value);
SOCKET socket(int family, int type, int protocol);
// Blocking: returns once connected or failed. Non-blocking (FIONBIO): fails
// with WSAEWOULDBLOCK at once while the connection is under way (select tells
// the end), or with the error itself when it fails at once.
int connect(SOCKET s, const sockaddr_in* address, int length);
// Sets socket mode `cmd` (FIONBIO) from *argp.
int ioctlsocket(SOCKET s, long cmd, u_long* argp);
// Waits up to *timeout (null: for ever; nfds is ignored) until a socket of the
// sets is ready, and leaves in each set only the ready ones. A connection that
// came up is writable; one that failed is in the except set (its error in
// SO_ERROR). Returns how many are ready, 0 after the time-out, or SOCKET_ERROR.
int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const timeval* timeout);
// Reads option `name` into `value` (*length bytes of room; the size read back).
int getsockopt(SOCKET s, int level, int name, char* value, int* length);
// With SO_SNDTIMEO set, a send the peer does not take in time fails.
int setsockopt(SOCKET s, int level, int name, const char* value, int length);
int send(SOCKET s, const char* data, int length, int flags);
// With SO_RCVTIMEO set, a recv that gets nothing in time fails (WSAETIMEDOUT);
// 0 when the peer closed the connection.
int recv(SOCKET s, char* data, int length, int flags);
int closesocket(SOCKET s);

// Pairs WSAStartup with WSACleanup.
class SocketLibrary {
 public:
  SocketLibrary() : ready_(os::WSAStartup(kVersion, &data_) == 0) {}
  ~SocketLibrary() {
    if (ready_) os::WSACleanup();
  }
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;
  bool ready() const { return ready_; }

 private:
  static constexpr WORD kVersion = 0x0202;  // 2.2
  WSADATA data_{};
  bool ready_;
};

struct SocketTraits {
  using Handle = SOCKET;
  static Handle InvalidValue() { return INVALID_SOCKET; }
  static bool IsValid(Handle h) { return h != INVALID_SOCKET; }
  static void Close(Handle h) { os::closesocket(h); }
};
using Socket = ScopedHandle<SocketTraits>;

}  // namespace os
