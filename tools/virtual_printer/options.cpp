#include "options.h"

#include "status.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vp {
namespace {

bool Number(const char* text, long low, long high, long* value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (*end != '\0' || errno != 0 || v < low || v > high) return false;
  *value = v;
  return true;
}

}  // namespace

std::string Usage() {
  return "usage: virtual_printer [options]\n"
         "  --port N        listen on 127.0.0.1:N (default 9100; 0 picks a free port)\n"
         "  --input PATH    read jobs from a file or FIFO instead of listening\n"
         "  --jobs N        take N jobs, then exit (default 1)\n"
         "  --paper 58|80   paper width: 384 or 576 dots (default 58)\n"
         "  --width DOTS    paper width in dots\n"
         "  --out FILE.png  rendered paper (default printed.png; -N added per job when N > 1)\n"
         "  --raw FILE      also write the received bytes\n"
         "  --font PATH     font for text (default WenQuanYi Micro Hei)\n"
         "  --max-bytes N   keep at most N bytes of a job (default 16 MiB)\n"
         "  --strict        exit with 3 when a job held bytes that were not understood\n"
         "  --device LINK   be a USB device: a raw pseudo-terminal, LINK made a link to it\n"
         "  --status STATE  answer DLE EOT as a printer that is online (default), paper-end,\n"
         "                  near-end, cover-open, or not at all (no-answer)\n"
         "  --status-sessions N  before exiting, also wait for N connections (or device\n"
         "                  openings) that held nothing but status requests (default 0)\n";
}

bool ParseOptions(int argc, const char* const* argv, Options* options, bool* help, std::string* error) {
  *help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "-h" || name == "--help") {
      *help = true;
      return true;
    }
    if (name == "--strict") {
      options->strict = true;
      continue;
    }
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (value == nullptr) {
      *error = name + " needs a value";
      return false;
    }
    ++i;
    long n = 0;
    PrinterState state = PrinterState::Online;
    if (name == "--port" && Number(value, 0, 65535, &n)) {
      options->port = static_cast<int>(n);
    } else if (name == "--jobs" && Number(value, 0, 1000000, &n)) {
      options->jobs = static_cast<int>(n);
    } else if (name == "--paper" && (std::strcmp(value, "58") == 0 || std::strcmp(value, "80") == 0)) {
      options->width = std::strcmp(value, "58") == 0 ? 384 : 576;
    } else if (name == "--width" && Number(value, 8, 4096, &n)) {
      options->width = static_cast<int>(n);
    } else if (name == "--max-bytes" && Number(value, 1, 1L << 30, &n)) {
      options->maxBytes = static_cast<std::size_t>(n);
    } else if (name == "--status-sessions" && Number(value, 0, 1000000, &n)) {
      options->statusSessions = static_cast<int>(n);
    } else if (name == "--status" && ParsePrinterState(value, &state)) {
      options->status = value;
    } else if (name == "--device") {
      options->device = value;
    } else if (name == "--input") {
      options->input = value;
    } else if (name == "--out") {
      options->out = value;
    } else if (name == "--raw") {
      options->raw = value;
    } else if (name == "--font") {
      options->font = value;
    } else {
      *error = "bad option: " + name + " " + value;
      return false;
    }
  }
  return true;
}

std::string JobPath(const std::string& path, int index, int total) {
  if (total <= 1) return path;
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string suffix = "-" + std::to_string(index);
  return hasExtension ? path.substr(0, dot) + suffix + path.substr(dot) : path + suffix;
}

}  // namespace vp
