#include "glyphs.h"

#include <iconv.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace vp {

int CellWidth(std::uint32_t code) { return code < 0x80 ? kAsciiCellWidth : kWideCellWidth; }

std::uint32_t GbkToUnicode(std::uint32_t code) {
  if (code < 0x80) return code;
  iconv_t cd = iconv_open("UTF-32LE", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  unsigned char out[8] = {};
  char* inp = in;
  char* outp = reinterpret_cast<char*>(out);
  std::size_t inLeft = sizeof in;
  std::size_t outLeft = sizeof out;
  const std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || outLeft != 4) return 0;
  return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<std::uint32_t>(out[3]) << 24);
}

DotBlock BoxGlyphs::Render(std::uint32_t code) {
  DotBlock cell;
  cell.width = CellWidth(code);
  cell.height = kCellHeight;
  cell.dots.assign(static_cast<std::size_t>(cell.width) * cell.height, 0);
  if (code == ' ') return cell;
  for (int y = 3; y < cell.height - 3; ++y) {
    for (int x = 1; x < cell.width - 1; ++x) {
      const bool edge = y == 3 || y == cell.height - 4 || x == 1 || x == cell.width - 2;
      if (edge) cell.dots[static_cast<std::size_t>(y) * cell.width + x] = 1;
    }
  }
  return cell;
}

struct FontGlyphs::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

FontGlyphs::FontGlyphs() = default;
FontGlyphs::~FontGlyphs() = default;

bool FontGlyphs::Open(const std::string& fontPath, std::string* error) {
  auto face = std::make_unique<Face>();
  if (FT_Init_FreeType(&face->library) != 0) {
    if (error) *error = "FreeType could not start";
    return false;
  }
  if (FT_New_Face(face->library, fontPath.c_str(), 0, &face->face) != 0) {
    if (error) *error = "cannot open font " + fontPath;
    return false;
  }
  face_ = std::move(face);
  cache_.clear();
  return true;
}

DotBlock FontGlyphs::Render(std::uint32_t code) {
  auto cached = cache_.find(code);
  if (cached != cache_.end()) return cached->second;
  const std::uint32_t unicode = GbkToUnicode(code);
  FT_Face f = face_ ? face_->face : nullptr;
  const FT_UInt index = (f != nullptr && unicode != 0) ? FT_Get_Char_Index(f, unicode) : 0;
  if (index == 0) return boxes_.Render(code);

  DotBlock cell;
  cell.width = CellWidth(code);
  cell.height = kCellHeight;
  cell.dots.assign(static_cast<std::size_t>(cell.width) * cell.height, 0);
  // Wide characters fill the 24-dot square; ASCII is drawn a little smaller so
  // that it keeps to its half-width cell.
  const int pixels = code < 0x80 ? 22 : 24;
  if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixels)) != 0 ||
      FT_Load_Glyph(f, index, FT_LOAD_RENDER) != 0) {
    return boxes_.Render(code);
  }
  const FT_GlyphSlot g = f->glyph;
  const long ascender = f->size->metrics.ascender >> 6;
  const long descender = -(f->size->metrics.descender >> 6);
  // The baseline sits so that ascender and descender share the cell's height.
  const long baseline = (ascender + descender) > 0 ? kCellHeight * ascender / (ascender + descender) : 19;
  const long advance = g->advance.x >> 6;
  const long left = (cell.width - advance) / 2 + g->bitmap_left;
  const long top = baseline - g->bitmap_top;
  const FT_Bitmap& bm = g->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.pitch < 0) return boxes_.Render(code);
  for (unsigned row = 0; row < bm.rows; ++row) {
    for (unsigned col = 0; col < bm.width; ++col) {
      const long x = left + static_cast<long>(col);
      const long y = top + static_cast<long>(row);
      if (x < 0 || y < 0 || x >= cell.width || y >= cell.height) continue;
      const unsigned char level = bm.buffer[static_cast<long>(row) * bm.pitch + col];
      // A thermal head prints or does not: grey edges are thresholded.
      if (level >= 96) cell.dots[static_cast<std::size_t>(y) * cell.width + x] = 1;
    }
  }
  cache_[code] = cell;
  return cell;
}

}  // namespace vp
