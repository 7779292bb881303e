#include "paper.h"

#include <algorithm>

namespace vp {
namespace {

// The left `width` columns of a block.
DotBlock Crop(const DotBlock& block, int width) {
  DotBlock out;
  out.width = width;
  out.height = block.height;
  out.dots.assign(static_cast<std::size_t>(width) * block.height, 0);
  for (int y = 0; y < block.height; ++y) {
    for (int x = 0; x < width; ++x) out.dots[static_cast<std::size_t>(y) * width + x] = block.At(x, y) ? 1 : 0;
  }
  return out;
}

}  // namespace

Paper::Paper(int widthDots, GlyphSource& glyphs, int maxHeight)
    : width_(widthDots > 0 ? widthDots : 1), maxHeight_(maxHeight > 0 ? maxHeight : 1), glyphs_(glyphs) {}

void Paper::Character(std::uint32_t code) { Add(glyphs_.Render(code), true); }

void Paper::LineFeed() { PrintLine(spacing_); }

void Paper::Initialize() {
  if (!line_.empty()) problems_.push_back("ESC @ discarded an unprinted line");
  line_.clear();
  lineWidth_ = 0;
  alignment_ = 0;
  spacing_ = kDefaultLineSpacing;
}

void Paper::Justify(int alignment) { alignment_ = std::clamp(alignment, 0, 2); }

void Paper::LineSpacing(int dots) { spacing_ = std::max(0, dots); }

void Paper::DefaultLineSpacing() { spacing_ = kDefaultLineSpacing; }

void Paper::FeedDots(int dots) { PrintLine(std::max(0, dots)); }

void Paper::FeedLines(int lines) { PrintLine(std::max(0, lines) * spacing_); }

void Paper::Cut(bool partial) {
  if (!line_.empty()) PrintLine(0);
  // A line across the paper where it was cut: solid for a full cut, dashed
  // for a partial one (which leaves the paper hanging together).
  for (int x = 0; x < width_; ++x) {
    if (!partial || x % 12 < 8) {
      Set(x, y_, kCutLine);
      Set(x, y_ + 1, kCutLine);
    }
  }
  cuts_.push_back(y_);
  partialCuts_ += partial ? 1 : 0;
  Advance(2);
}

// One 12-dot square per drawer number at the right edge, level with the
// print position; the paper does not move for a kick.
void Paper::DrawerKick(int drawer) {
  for (int square = 0; square < drawer; ++square) {
    const int right = width_ - 1 - square * 16;
    for (int y = 0; y < 12; ++y) {
      for (int x = right - 11; x <= right; ++x) Set(x, y_ + y, kKick);
    }
  }
  kicks_.push_back(drawer);
}

void Paper::BitImage(int mode, int columns, const std::uint8_t* data, std::size_t size) {
  const int rows = BitImageRows(mode);
  const int dotWidth = BitImageDotWidth(mode);
  if (rows == 0 || columns <= 0 || data == nullptr) return;
  const std::size_t perColumn = static_cast<std::size_t>(rows / 8);
  // Dots beyond the right edge of the paper are dropped, as the printer does.
  const int room = width_ - lineWidth_;
  const long wanted = static_cast<long>(columns) * dotWidth;
  if (wanted > room) problems_.push_back("bit image wider than the paper: cut at the edge");
  DotBlock block;
  block.width = static_cast<int>(std::min<long>(wanted, std::max(room, 0)));
  block.height = rows;
  block.dots.assign(static_cast<std::size_t>(block.width) * rows, 0);
  for (int x = 0; x < block.width; ++x) {
    const std::size_t column = static_cast<std::size_t>(x / dotWidth);
    for (int y = 0; y < rows; ++y) {
      const std::size_t at = column * perColumn + static_cast<std::size_t>(y / 8);
      if (at < size && (data[at] & (0x80 >> (y % 8))) != 0) {
        block.dots[static_cast<std::size_t>(y) * block.width + x] = 1;
      }
    }
  }
  Add(std::move(block), false);
}

// A raster image prints at once from the left edge, below anything pending on the line.
void Paper::RasterImage(int scale, int widthBytes, int rows, const std::uint8_t* data, std::size_t size) {
  if (!line_.empty()) PrintLine(0);
  const int dotWidth = (scale & 1) != 0 ? 2 : 1;
  const int dotHeight = (scale & 2) != 0 ? 2 : 1;
  if (static_cast<long>(widthBytes) * 8 * dotWidth > width_) problems_.push_back("raster image wider than the paper: cut at the edge");
  for (int row = 0; row < rows; ++row) {
    for (int x = 0; x < widthBytes * 8; ++x) {
      const std::size_t at = static_cast<std::size_t>(row) * widthBytes + x / 8;
      if (at >= size || (data[at] & (0x80 >> (x % 8))) == 0) continue;
      for (int dy = 0; dy < dotHeight; ++dy) {
        for (int dx = 0; dx < dotWidth; ++dx) Set(x * dotWidth + dx, y_ + row * dotHeight + dy, kDot);
      }
    }
  }
  Advance(rows * dotHeight);
}

void Paper::Problem(std::size_t offset, const std::string& what) {
  problems_.push_back("offset " + std::to_string(offset) + ": " + what);
}

void Paper::Finish() {
  if (!line_.empty()) problems_.push_back("job ended with an unprinted line (no LF)");
  line_.clear();
  lineWidth_ = 0;
}

int Paper::Height() const { return std::max(y_, lowest_); }

Paper::Mark Paper::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_) return kBlank;
  const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
  return at < marks_.size() ? static_cast<Mark>(marks_[at]) : kBlank;
}

void Paper::Add(DotBlock block, bool wraps) {
  // Text that does not fit on the line goes on to the next one.
  if (wraps && lineWidth_ + block.width > width_ && !line_.empty()) PrintLine(spacing_);
  if (line_.empty()) lineAlignment_ = alignment_;
  if (block.width > width_ - lineWidth_) block = Crop(block, std::max(0, width_ - lineWidth_));
  if (block.width == 0) return;
  lineWidth_ += block.width;
  line_.push_back(Piece{std::move(block)});
}

void Paper::PrintLine(int feed) {
  int height = 0;
  for (const Piece& p : line_) height = std::max(height, p.block.height);
  int x = 0;
  if (lineAlignment_ == 1) x = (width_ - lineWidth_) / 2;
  if (lineAlignment_ == 2) x = width_ - lineWidth_;
  for (const Piece& p : line_) {
    // Pieces of different heights share their bottom edge.
    const int top = y_ + height - p.block.height;
    for (int row = 0; row < p.block.height; ++row) {
      for (int col = 0; col < p.block.width; ++col) {
        if (p.block.At(col, row)) Set(x + col, top + row, kDot);
      }
    }
    x += p.block.width;
  }
  line_.clear();
  lineWidth_ = 0;
  // The paper moves by the line spacing, but never less than the printed height.
  Advance(std::max(feed, height));
}

void Paper::Advance(int dots) {
  const long next = static_cast<long>(y_) + std::max(0, dots);
  if (next > maxHeight_) {
    if (!limitReported_) problems_.push_back("paper longer than " + std::to_string(maxHeight_) + " dots: rest dropped");
    limitReported_ = true;
    y_ = maxHeight_;
    return;
  }
  y_ = static_cast<int>(next);
}

void Paper::Set(int x, int y, Mark mark) {
  if (x < 0 || y < 0 || x >= width_ || y >= maxHeight_) return;
  const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
  if (at >= marks_.size()) marks_.resize((static_cast<std::size_t>(y) + 1) * width_, kBlank);
  marks_[at] = mark;
  lowest_ = std::max(lowest_, y + 1);
}

}  // namespace vp
