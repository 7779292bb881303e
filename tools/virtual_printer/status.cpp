#include "status.h"

namespace vp {
namespace {

// Every answer has bits 1 and 4 set, bits 0 and 7 clear.
constexpr std::uint8_t kFixed = 0x12;

}  // namespace

bool ParsePrinterState(const std::string& name, PrinterState* state) {
  if (name == "online") *state = PrinterState::Online;
  else if (name == "paper-end") *state = PrinterState::PaperEnd;
  else if (name == "near-end") *state = PrinterState::NearEnd;
  else if (name == "cover-open") *state = PrinterState::CoverOpen;
  else if (name == "no-answer") *state = PrinterState::NoAnswer;
  else return false;
  return true;
}

bool StatusAnswer(PrinterState state, int n, std::uint8_t* answer) {
  if (state == PrinterState::NoAnswer || n < 1 || n > 4) return false;
  const bool stopped = state == PrinterState::PaperEnd || state == PrinterState::CoverOpen;
  switch (n) {
    case 1:  // bit 3: off-line
      *answer = kFixed | (stopped ? 0x08 : 0);
      break;
    case 2:  // bit 2: cover open, bit 5: stopped by paper end
      *answer = kFixed | (state == PrinterState::CoverOpen ? 0x04 : 0) | (state == PrinterState::PaperEnd ? 0x20 : 0);
      break;
    case 3:  // no error
      *answer = kFixed;
      break;
    default:  // bits 2-3: near end, bits 5-6: paper end (a roll that ended is also near its end)
      *answer = kFixed | (state == PrinterState::NearEnd || state == PrinterState::PaperEnd ? 0x0C : 0) |
                (state == PrinterState::PaperEnd ? 0x60 : 0);
      break;
  }
  return true;
}

std::string StatusResponder::Feed(const std::uint8_t* bytes, std::size_t count) {
  std::string answers;
  fed_ += count;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    if (matched_ == 2) {
      matched_ = 0;
      if (b >= 1 && b <= 4) {
        ++requests_;
        std::uint8_t answer = 0;
        if (StatusAnswer(state_, b, &answer)) answers += static_cast<char>(answer);
        continue;
      }
    }
    if (matched_ == 1 && b == 0x04) {
      matched_ = 2;
    } else {
      matched_ = b == 0x10 ? 1 : 0;
    }
  }
  return answers;
}

}  // namespace vp
