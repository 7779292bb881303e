// Decoding of the receipt printer's escape-sequence command stream into
// printer actions. The input is untrusted: every parameter is bounds-checked
// and anything not understood is reported, never fatal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vp {

// What the decoder found, in stream order.
class CommandSink {
 public:
  virtual ~CommandSink() = default;
  // One character: an ASCII byte (0x20..0x7E), or a GBK pair as lead << 8 | trail.
  virtual void Character(std::uint32_t code) = 0;
  virtual void LineFeed() = 0;                  // LF
  virtual void Initialize() = 0;                // ESC @
  virtual void Justify(int alignment) = 0;      // ESC a: 0 left, 1 centre, 2 right
  virtual void LineSpacing(int dots) = 0;       // ESC 3 n
  virtual void DefaultLineSpacing() = 0;        // ESC 2
  virtual void FeedDots(int dots) = 0;          // ESC J n
  virtual void FeedLines(int lines) = 0;        // ESC d n
  virtual void Cut(bool partial) = 0;           // ESC m, ESC i, GS V
  // ESC p m t1 t2: the pulse that opens cash drawer `drawer` (1 or 2).
  virtual void DrawerKick(int drawer) { (void)drawer; }
  // ESC * m nL nH: `columns` columns of 1 (8-dot modes) or 3 (24-dot modes)
  // bytes each; `data` always holds the full count (missing bytes are zero).
  virtual void BitImage(int mode, int columns, const std::uint8_t* data, std::size_t size) = 0;
  // GS v 0 m xL xH yL yH: `rows` rows of `widthBytes` bytes, most significant
  // bit leftmost, printed at once; `data` always holds the full count.
  // `scale` is m's magnification: bit 0 doubles the width, bit 1 the height.
  virtual void RasterImage(int scale, int widthBytes, int rows, const std::uint8_t* data, std::size_t size) = 0;
  // A command that is understood but has no effect on the rendered paper.
  virtual void Ignored(std::size_t offset, const std::string& what) { (void)offset, (void)what; }
  // Bytes that are not understood, or a command cut short.
  virtual void Problem(std::size_t offset, const std::string& what) = 0;
};

// Decodes one whole job.
void Decode(const std::uint8_t* data, std::size_t size, CommandSink& sink);

// Rows per band of a bit-image mode (8 or 24), or 0 for a mode the printer lacks.
int BitImageRows(int mode);
// Printed dots per column of a bit-image mode: 2 in single density, 1 in double.
int BitImageDotWidth(int mode);

}  // namespace vp
