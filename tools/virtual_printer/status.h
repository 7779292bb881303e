// The printer's answers to the ESC/POS real-time status request DLE EOT n
// (0x10 0x04 n): one byte each for n = 1 (printer), 2 (off-line cause),
// 3 (error cause) and 4 (paper roll sensor), in the state a test sets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vp {

enum class PrinterState { Online, PaperEnd, NearEnd, CoverOpen, NoAnswer };

// "online", "paper-end", "near-end", "cover-open", "no-answer"; false for another name.
bool ParsePrinterState(const std::string& name, PrinterState* state);

// The answer to DLE EOT n in `state`; false when the printer stays silent
// (NoAnswer, or an n it does not know).
bool StatusAnswer(PrinterState state, int n, std::uint8_t* answer);

// Finds the requests in a stream of bytes as it arrives (a request may be
// split between two reads) and collects the answers to send back at once.
class StatusResponder {
 public:
  explicit StatusResponder(PrinterState state) : state_(state) {}
  // The answers to the requests completed by `bytes`.
  std::string Feed(const std::uint8_t* bytes, std::size_t count);
  int Requests() const { return requests_; }
  // True when everything fed so far was status requests (and there was one).
  bool OnlyRequests() const { return requests_ > 0 && fed_ == 3u * static_cast<std::size_t>(requests_); }
  void Reset() { *this = StatusResponder(state_); }

 private:
  PrinterState state_;
  int requests_ = 0;
  std::size_t fed_ = 0;
  int matched_ = 0;  // bytes of a request seen so far: 0, 1 (DLE) or 2 (DLE EOT)
};

}  // namespace vp
