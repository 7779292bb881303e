// A USB printer device for the end-to-end tests: a pseudo-terminal in raw
// mode whose far end a link (in a Wine prefix's dosdevices folder) points
// at. What the program writes to the device is read here; the answers to its
// status requests go back the same way and the program reads them with
// ReadFile, as it reads a real USB printer's. A job is what arrives between
// the program's opening and closing of the device.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "status.h"

namespace vp {

class PtyDevice {
 public:
  PtyDevice() = default;
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  // Makes the pseudo-terminal and the link `link` to its far end (replacing
  // a link there).
  bool Open(const std::string& link, std::string* error);
  // Waits for the program to open the device, and reads until it closes it,
  // answering status requests on the way.
  bool ReadSession(std::vector<std::uint8_t>* job, std::size_t maxBytes, bool* truncated, std::string* error,
                   StatusResponder* responder);

 private:
  int master_ = -1;
  std::string link_;
};

}  // namespace vp
