// Windows Sockets adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/sockets.h"

static_assert(sizeof(os::WSADATA) == sizeof(::WSADATA), "WSADATA layout");
static_assert(sizeof(os::sockaddr_in) == sizeof(::sockaddr_in), "sockaddr_in layout");
static_assert(sizeof(os::hostent) == sizeof(::hostent), "hostent layout");

namespace os {

int WSAStartup(WORD version, WSADATA* data) { return ::WSAStartup(version, reinterpret_cast<::WSADATA*>(data)); }
int WSACleanup() { return ::WSACleanup(); }
int WSAGetLastError() { return ::WSAGetLastError(); }
hostent* gethostbyname(const char* name) { return reinterpret_cast<hostent*>(::gethostbyname(name)); }
char* inet_ntoa(in_addr address) {
  ::in_addr a;
  a.S_un.S_addr = address.S_un.S_addr;
  return ::inet_ntoa(a);
}
std::uint32_t inet_addr(const char* text) { return ::inet_addr(text); }
unsigned short htons(unsigned short value) { return ::htons(value); }
SOCKET socket(int family, int type, int protocol) { return ::socket(family, type, protocol); }
int connect(SOCKET s, const sockaddr_in* address, int length) {
  return ::connect(s, reinterpret_cast<const ::sockaddr*>(address), length);
}
int setsockopt(SOCKET s, int level, int name, const char* value, int length) {
  return ::setsockopt(s, level, name, value, length);
}
int send(SOCKET s, const char* data, int length, int flags) { return ::send(s, data, length, flags); }
int recv(SOCKET s, char* data, int length, int flags) { return ::recv(s, data, length, flags); }
int closesocket(SOCKET s) { return ::closesocket(s); }

}  // namespace os
