#include "decoder.h"

#include <cstdio>
#include <vector>

namespace vp {
namespace {

constexpr std::uint8_t kLF = 0x0A;
constexpr std::uint8_t kCR = 0x0D;
constexpr std::uint8_t kHT = 0x09;
constexpr std::uint8_t kESC = 0x1B;
constexpr std::uint8_t kGS = 0x1D;
constexpr std::uint8_t kFS = 0x1C;

std::string Hex(std::uint8_t b) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", b);
  return text;
}

bool IsGbkLead(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool IsGbkTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

class Decoder {
 public:
  Decoder(const std::uint8_t* data, std::size_t size, CommandSink& sink) : d_(data), n_(size), sink_(sink) {}

  void Run() {
    while (at_ < n_) Step();
  }

 private:
  // Bytes left from position i on.
  std::size_t Left(std::size_t i) const { return i < n_ ? n_ - i : 0; }

  // A command of `length` bytes starting at at_; false (with a report) if cut short.
  bool Need(std::size_t length, const char* name) {
    if (Left(at_) >= length) return true;
    sink_.Problem(at_, std::string("truncated ") + name);
    at_ = n_;
    return false;
  }

  void Step() {
    const std::uint8_t b = d_[at_];
    if (b >= 0x20 && b <= 0x7E) {
      sink_.Character(b);
      ++at_;
    } else if (b == kLF) {
      sink_.LineFeed();
      ++at_;
    } else if (b == kCR || b == kHT) {
      sink_.Ignored(at_, b == kCR ? "CR" : "HT");
      ++at_;
    } else if (b == kESC) {
      Escape();
    } else if (b == kGS) {
      GroupSeparator();
    } else if (b == kFS) {
      FileSeparator();
    } else if (IsGbkLead(b)) {
      if (Left(at_) >= 2 && IsGbkTrail(d_[at_ + 1])) {
        sink_.Character(static_cast<std::uint32_t>(b) << 8 | d_[at_ + 1]);
        at_ += 2;
      } else {
        sink_.Problem(at_, "GBK lead byte " + Hex(b) + " without a valid trail byte");
        ++at_;
      }
    } else {
      sink_.Problem(at_, "unknown byte " + Hex(b));
      ++at_;
    }
  }

  void Escape() {
    if (!Need(2, "ESC command")) return;
    const std::uint8_t c = d_[at_ + 1];
    switch (c) {
      case '@':
        sink_.Initialize();
        at_ += 2;
        return;
      case '2':
        sink_.DefaultLineSpacing();
        at_ += 2;
        return;
      case 'm':
      case 'i':
        sink_.Cut(c == 'm');
        at_ += 2;
        return;
      case 'a': {
        if (!Need(3, "ESC a")) return;
        const std::uint8_t v = d_[at_ + 2];
        if (v <= 2 || (v >= '0' && v <= '2')) {
          sink_.Justify(v % 48);
        } else {
          sink_.Problem(at_, "ESC a with invalid alignment " + Hex(v));
        }
        at_ += 3;
        return;
      }
      case '3':
      case 'J':
      case 'd': {
        if (!Need(3, c == '3' ? "ESC 3" : c == 'J' ? "ESC J" : "ESC d")) return;
        const int v = d_[at_ + 2];
        if (c == '3') sink_.LineSpacing(v);
        if (c == 'J') sink_.FeedDots(v);
        if (c == 'd') sink_.FeedLines(v);
        at_ += 3;
        return;
      }
      case '*':
        BitImage();
        return;
      case 'p': {
        if (!Need(5, "ESC p")) return;
        const std::uint8_t m = d_[at_ + 2];
        if (m <= 1 || m == '0' || m == '1') {
          sink_.DrawerKick(m % 48 + 1);
        } else {
          sink_.Problem(at_, "ESC p with invalid pin " + Hex(m));
        }
        at_ += 5;
        return;
      }
      // Formatting that the rendering does not show: one parameter byte each.
      case '!': case 'E': case '-': case 'G': case 'M': case 't': case 'R': case ' ': case '{': case 'V':
        if (!Need(3, "ESC command")) return;
        sink_.Ignored(at_, std::string("ESC ") + static_cast<char>(c));
        at_ += 3;
        return;
      default:
        sink_.Problem(at_, "unknown command ESC " + Hex(c));
        at_ += 2;
        return;
    }
  }

  void BitImage() {
    if (!Need(5, "ESC * header")) return;
    const int mode = d_[at_ + 2];
    const int columns = d_[at_ + 3] | (d_[at_ + 4] << 8);
    const int rows = BitImageRows(mode);
    if (rows == 0) {
      // Without a known mode the data length is unknown; the bytes that follow
      // are decoded (and reported) as they come.
      sink_.Problem(at_, "ESC * with unknown mode " + Hex(static_cast<std::uint8_t>(mode)));
      at_ += 5;
      return;
    }
    const std::vector<std::uint8_t> data =
        TakeData(at_ + 5, static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows / 8), "ESC *");
    sink_.BitImage(mode, columns, data.data(), data.size());
  }

  // The `size` data bytes of the command at at_, from `start` on, zero-filled
  // (and reported) where the job ends first; at_ moves past what was there.
  std::vector<std::uint8_t> TakeData(std::size_t start, std::size_t size, const char* name) {
    const std::size_t have = Left(start) < size ? Left(start) : size;
    std::vector<std::uint8_t> data(size, 0);
    for (std::size_t i = 0; i < have; ++i) data[i] = d_[start + i];
    if (have < size) {
      sink_.Problem(at_, std::string(name) + " data cut short: " + std::to_string(have) + " of " +
                             std::to_string(size) + " bytes");
    }
    at_ = start + have;
    return data;
  }

  void GroupSeparator() {
    if (!Need(2, "GS command")) return;
    const std::uint8_t c = d_[at_ + 1];
    if (c == 'V') {
      if (!Need(3, "GS V")) return;
      const std::uint8_t m = d_[at_ + 2];
      if (m == 0 || m == '0' || m == 1 || m == '1') {
        sink_.Cut(m == 1 || m == '1');
        at_ += 3;
      } else if (m == 'A' || m == 'B') {
        if (!Need(4, "GS V")) return;
        sink_.FeedDots(d_[at_ + 3]);
        sink_.Cut(m == 'B');
        at_ += 4;
      } else {
        sink_.Problem(at_, "GS V with invalid mode " + Hex(m));
        at_ += 3;
      }
      return;
    }
    if (c == 'v') {
      RasterImage();
      return;
    }
    if (c == '!' || c == 'B') {
      if (!Need(3, "GS command")) return;
      sink_.Ignored(at_, std::string("GS ") + static_cast<char>(c));
      at_ += 3;
      return;
    }
    sink_.Problem(at_, "unknown command GS " + Hex(c));
    at_ += 2;
  }

  void RasterImage() {
    if (!Need(8, "GS v 0 header")) return;
    const int mode = d_[at_ + 3];
    if (d_[at_ + 2] != '0' || (mode > 3 && (mode < '0' || mode > '3'))) {
      sink_.Problem(at_, "GS v with unknown form " + Hex(d_[at_ + 2]) + " " + Hex(static_cast<std::uint8_t>(mode)));
      at_ += 8;
      return;
    }
    const int widthBytes = d_[at_ + 4] | (d_[at_ + 5] << 8);
    const int rows = d_[at_ + 6] | (d_[at_ + 7] << 8);
    const std::vector<std::uint8_t> data =
        TakeData(at_ + 8, static_cast<std::size_t>(widthBytes) * static_cast<std::size_t>(rows), "GS v 0");
    sink_.RasterImage(mode % 48, widthBytes, rows, data.data(), data.size());
  }

  // FS & and FS . switch the double-byte character mode, which this printer keeps on.
  void FileSeparator() {
    if (!Need(2, "FS command")) return;
    const std::uint8_t c = d_[at_ + 1];
    if (c == '&' || c == '.') {
      sink_.Ignored(at_, std::string("FS ") + static_cast<char>(c));
    } else {
      sink_.Problem(at_, "unknown command FS " + Hex(c));
    }
    at_ += 2;
  }

  const std::uint8_t* d_;
  std::size_t n_;
  CommandSink& sink_;
  std::size_t at_ = 0;
};

}  // namespace

int BitImageRows(int mode) {
  if (mode == 0 || mode == 1) return 8;
  if (mode == 32 || mode == 33) return 24;
  return 0;
}

int BitImageDotWidth(int mode) { return (mode == 0 || mode == 32) ? 2 : 1; }

void Decode(const std::uint8_t* data, std::size_t size, CommandSink& sink) {
  if (data == nullptr) return;
  Decoder(data, size, sink).Run();
}

}  // namespace vp
