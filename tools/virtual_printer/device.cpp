#include "device.h"

#ifdef _WIN32
namespace vp {
PtyDevice::~PtyDevice() {}
bool PtyDevice::Open(const std::string&, std::string* error) {
  if (error) *error = "--device needs a POSIX system";
  return false;
}
bool PtyDevice::ReadSession(std::vector<std::uint8_t>*, std::size_t, bool*, std::string*, StatusResponder*) {
  return false;
}
}  // namespace vp
#else
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vp {

PtyDevice::~PtyDevice() {
  if (master_ != -1) ::close(master_);
  if (!link_.empty()) ::unlink(link_.c_str());
}

bool PtyDevice::Open(const std::string& link, std::string* error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    if (error) *error = std::string("no pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  const char* far = ::ptsname(master_);
  // Raw both ways: no line editing, no translation of line ends, no echo.
  termios mode{};
  if (far == nullptr || ::tcgetattr(master_, &mode) != 0) {
    if (error) *error = std::string("pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  ::cfmakeraw(&mode);
  ::tcsetattr(master_, TCSANOW, &mode);
  ::unlink(link.c_str());
  if (::symlink(far, link.c_str()) != 0) {
    if (error) *error = "cannot make the link " + link + ": " + std::strerror(errno);
    return false;
  }
  link_ = link;
  return true;
}

bool PtyDevice::ReadSession(std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated,
                            std::string* error, StatusResponder* responder) {
  job->clear();
  if (truncated != nullptr) *truncated = false;
  std::uint8_t chunk[4096];
  bool opened = false;  // the program has the device open (bytes came)
  for (;;) {
    const ssize_t got = ::read(master_, chunk, sizeof chunk);
    if (got > 0) {
      opened = true;
      const std::size_t room = job->size() < maxBytes ? maxBytes - job->size() : 0;
      const std::size_t kept = static_cast<std::size_t>(got) < room ? static_cast<std::size_t>(got) : room;
      job->insert(job->end(), chunk, chunk + kept);
      if (kept < static_cast<std::size_t>(got) && truncated != nullptr) *truncated = true;
      if (responder != nullptr) {
        const std::string answers = responder->Feed(chunk, static_cast<std::size_t>(got));
        if (!answers.empty() && ::write(master_, answers.data(), answers.size()) < 0) {
          // The program closed the device before its answer: nobody to read it.
        }
      }
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    // EIO: nobody has the far end open. After bytes, the program closed it.
    if (got < 0 && errno != EIO) {
      if (error) *error = std::string("read: ") + std::strerror(errno);
      return false;
    }
    if (opened) return true;
    ::usleep(20000);
  }
}

}  // namespace vp
#endif
