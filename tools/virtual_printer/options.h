// Command line of the virtual printer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vp {

struct Options {
  int port = 9100;                 // loopback port to listen on (0: any free port)
  std::string input;               // read jobs from this file or FIFO instead of listening
  int jobs = 1;                    // jobs to take before exiting
  int width = 384;                 // dots: 384 for 58 mm paper, 576 for 80 mm
  std::string out = "printed.png"; // rendered paper
  std::string raw;                 // also keep the received bytes here
  std::string font = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
  std::size_t maxBytes = 16u * 1024u * 1024u;
  bool strict = false;             // exit 3 when any job had problems
  std::string device;              // be a USB device: a pseudo-terminal linked at this path
  std::string status = "online";   // the state DLE EOT answers tell (status.h)
  int statusSessions = 0;          // also wait for this many connections of status requests only
};

// Parses argv; false with `error` set on a bad option. `help` is set for -h/--help.
bool ParseOptions(int argc, const char* const* argv, Options* options, bool* help, std::string* error);
std::string Usage();

// The file for job `index` (1-based) of `total`: the path itself for a single
// job, else the path with "-<index>" before its extension.
std::string JobPath(const std::string& path, int index, int total);

}  // namespace vp
