// Windows Sockets adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/sockets.h"

static_assert(sizeof(os::WSADATA) == sizeof(::WSADATA), "WSADATA layout");
static_assert(sizeof(os::sockaddr_in) == sizeof(::sockaddr_in), "sockaddr_in layout");
static_assert(sizeof(os::hostent) == sizeof(::hostent), "hostent layout");
static_assert(sizeof(os::fd_set) == sizeof(::fd_set), "fd_set layout");
static_assert(offsetof(os::fd_set, fd_array) == offsetof(::fd_set, fd_array), "fd_set fields");
static_assert(sizeof(os::timeval) == sizeof(::timeval), "timeval layout");
static_assert(sizeof(os::u_long) == sizeof(::u_long), "u_long");

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
int ioctlsocket(SOCKET s, long cmd, u_long* argp) {
  return ::ioctlsocket(s, cmd, reinterpret_cast<::u_long*>(argp));
}
int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const timeval* timeout) {
  return ::select(nfds, reinterpret_cast<::fd_set*>(readfds), reinterpret_cast<::fd_set*>(writefds),
                  reinterpret_cast<::fd_set*>(exceptfds),
                  // mingw-w64 declares the time-out without const; select only reads it.
                  const_cast<::timeval*>(reinterpret_cast<const ::timeval*>(timeout)));
}
int getsockopt(SOCKET s, int level, int name, char* value, int* length) {
  return ::getsockopt(s, level, name, value, length);
}
int setsockopt(SOCKET s, int level, int name, const char* value, int length) {
  return ::setsockopt(s, level, name, value, length);
}
int send(SOCKET s, const char* data, int length, int flags) { return ::send(s, data, length, flags); }
int recv(SOCKET s, char* data, int length, int flags) { return ::recv(s, data, length, flags); }
int closesocket(SOCKET s) { return ::closesocket(s); }

}  // namespace os
