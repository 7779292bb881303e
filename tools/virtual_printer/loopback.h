// A listening TCP socket on the loopback interface only (127.0.0.1), the way a
// network printer takes raw jobs: one connection is one job, ended when the
// sender closes it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "status.h"

namespace vp {

class LoopbackListener {
 public:
  LoopbackListener() = default;
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  // Binds 127.0.0.1:port (0 picks a free port) and listens.
  bool Listen(std::uint16_t port, std::string* error);
  // The bound port and address, once listening.
  std::uint16_t Port() const { return port_; }
  std::string Address() const;
  // Waits for one connection and reads it to its end, keeping at most
  // `maxBytes` (the rest is read and dropped; `truncated` tells).
  // With `responder`, status requests are answered as they arrive.
  bool AcceptJob(std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated, std::string* error,
                 StatusResponder* responder = nullptr);

 private:
  std::intptr_t socket_ = -1;
  std::uint16_t port_ = 0;
};

// Reads a file or FIFO to its end, keeping at most `maxBytes`.
bool ReadJobFile(const std::string& path, std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated,
                 std::string* error);

}  // namespace vp
