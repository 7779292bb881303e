#include "loopback.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketLength = int;
constexpr int kNoSignal = 0;
namespace {
void CloseSocket(std::intptr_t s) { closesocket(static_cast<SOCKET>(s)); }
std::string LastSocketError() { return "socket error " + std::to_string(WSAGetLastError()); }
bool StartSockets() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
}  // namespace
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
using SocketLength = socklen_t;
constexpr int kNoSignal = MSG_NOSIGNAL;
namespace {
void CloseSocket(std::intptr_t s) { ::close(static_cast<int>(s)); }
std::string LastSocketError() { return std::strerror(errno); }
bool StartSockets() { return true; }
}  // namespace
#endif

namespace vp {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

void Keep(std::vector<std::uint8_t>* job, const std::uint8_t* bytes, std::size_t count, std::size_t maxBytes,
          bool* truncated) {
  const std::size_t room = job->size() < maxBytes ? maxBytes - job->size() : 0;
  const std::size_t kept = count < room ? count : room;
  job->insert(job->end(), bytes, bytes + kept);
  if (kept < count && truncated != nullptr) *truncated = true;
}

}  // namespace

LoopbackListener::~LoopbackListener() {
  if (socket_ != -1) CloseSocket(socket_);
}

bool LoopbackListener::Listen(std::uint16_t port, std::string* error) {
  if (!StartSockets()) {
    if (error) *error = "sockets unavailable";
    return false;
  }
  const auto s = static_cast<std::intptr_t>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (s < 0) {
    if (error) *error = "socket: " + LastSocketError();
    return false;
  }
  int yes = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never any other interface
  if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 4) != 0) {
    if (error) *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + LastSocketError();
    CloseSocket(s);
    return false;
  }
  SocketLength length = sizeof address;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  socket_ = s;
  port_ = ntohs(address.sin_port);
  return true;
}

std::string LoopbackListener::Address() const {
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  SocketLength length = sizeof address;
  if (socket_ == -1 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return "";
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return text;
}

bool LoopbackListener::AcceptJob(std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated,
                                 std::string* error, StatusResponder* responder) {
  job->clear();
  if (truncated != nullptr) *truncated = false;
  const auto c = static_cast<std::intptr_t>(::accept(socket_, nullptr, nullptr));
  if (c < 0) {
    if (error) *error = "accept: " + LastSocketError();
    return false;
  }
  std::vector<std::uint8_t> chunk(kChunk);
  for (;;) {
    const auto got = ::recv(c, reinterpret_cast<char*>(chunk.data()), static_cast<int>(chunk.size()), 0);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      // A sender that resets the connection still delivered what arrived.
      break;
    }
    Keep(job, chunk.data(), static_cast<std::size_t>(got), maxBytes, truncated);
    if (responder != nullptr) {
      const std::string answers = responder->Feed(chunk.data(), static_cast<std::size_t>(got));
      // A sender that left already must not end the printer (SIGPIPE).
      if (!answers.empty()) ::send(c, answers.data(), static_cast<int>(answers.size()), kNoSignal);
    }
  }
  CloseSocket(c);
  return true;
}

bool ReadJobFile(const std::string& path, std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated,
                 std::string* error) {
  job->clear();
  if (truncated != nullptr) *truncated = false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<std::uint8_t> chunk(kChunk);
  for (;;) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), f);
    if (got == 0) break;
    Keep(job, chunk.data(), got, maxBytes, truncated);
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed && error) *error = "cannot read " + path;
  return !failed;
}

}  // namespace vp
