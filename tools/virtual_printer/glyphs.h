// Character cells for printed text: 12 x 24 dots for ASCII, 24 x 24 for GBK
// double-byte characters, as in the printer's standard font.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vp {

inline constexpr int kCellHeight = 24;
inline constexpr int kAsciiCellWidth = 12;
inline constexpr int kWideCellWidth = 24;

// A block of dots, row by row; 1 marks a printed dot.
struct DotBlock {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> dots;
  bool At(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x] != 0; }
};

// Cell width of a decoded character code (see CommandSink::Character).
int CellWidth(std::uint32_t code);

// The Unicode code point of an ASCII byte or a GBK pair (lead << 8 | trail),
// or 0 when the pair maps to nothing.
std::uint32_t GbkToUnicode(std::uint32_t code);

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // The character's cell, CellWidth(code) x kCellHeight.
  virtual DotBlock Render(std::uint32_t code) = 0;
};

// Each character as a hollow box (a space as nothing): for tests, and when no
// font can be opened.
class BoxGlyphs : public GlyphSource {
 public:
  DotBlock Render(std::uint32_t code) override;
};

// Characters drawn with a TrueType/OpenType font through FreeType; characters
// the font lacks come out as boxes.
class FontGlyphs : public GlyphSource {
 public:
  FontGlyphs();
  ~FontGlyphs() override;
  bool Open(const std::string& fontPath, std::string* error);
  DotBlock Render(std::uint32_t code) override;

 private:
  struct Face;
  std::unique_ptr<Face> face_;
  std::map<std::uint32_t, DotBlock> cache_;
  BoxGlyphs boxes_;
};

}  // namespace vp
