// Windows Sockets 2 calls for the raw TCP test print and the ".local" name
// look-up, with the platform's records (32-bit layouts).
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

using SOCKET = std::uintptr_t;

#ifndef _WINSOCK2API_
constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};  // all bits set, at pointer width
constexpr int SOCKET_ERROR = -1;
constexpr int AF_INET = 2;
constexpr int SOCK_STREAM = 1;
constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_SNDTIMEO = 0x1005;  // a DWORD of milliseconds
#endif

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
int connect(SOCKET s, const sockaddr_in* address, int length);
// With SO_SNDTIMEO set, a send the peer does not take in time fails.
int setsockopt(SOCKET s, int level, int name, const char* value, int length);
int send(SOCKET s, const char* data, int length, int flags);
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
