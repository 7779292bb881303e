#include "testprint/socket_errors.h"

namespace {

struct SocketErrorName {
  int code;
  const char* name;
};

// The errors a connection or a send can end with.
constexpr SocketErrorName kNames[] = {
    {10013, "WSAEACCES"},       {10014, "WSAEFAULT"},       {10022, "WSAEINVAL"},
    {10035, "WSAEWOULDBLOCK"},  {10038, "WSAENOTSOCK"},     {10047, "WSAEAFNOSUPPORT"},
    {10048, "WSAEADDRINUSE"},   {10049, "WSAEADDRNOTAVAIL"}, {10050, "WSAENETDOWN"},
    {10051, "WSAENETUNREACH"},  {10052, "WSAENETRESET"},    {10053, "WSAECONNABORTED"},
    {10054, "WSAECONNRESET"},   {10055, "WSAENOBUFS"},      {10057, "WSAENOTCONN"},
    {10060, "WSAETIMEDOUT"},    {10061, "WSAECONNREFUSED"}, {10064, "WSAEHOSTDOWN"},
    {10065, "WSAEHOSTUNREACH"}, {10091, "WSASYSNOTREADY"},  {10093, "WSANOTINITIALISED"},
};

}  // namespace

std::string SocketErrorText(int code) {
  for (const SocketErrorName& entry : kNames) {
    if (entry.code == code) return std::to_string(code) + " (" + entry.name + ")";
  }
  return std::to_string(code);
}
