// The printer's model of the paper: the formatting state, the line buffer that
// collects characters and bit images until the line is printed, and the
// printed dots on a roll of the printer's width.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "decoder.h"
#include "glyphs.h"

namespace vp {

inline constexpr int kDefaultLineSpacing = 30;  // 1/6 inch, the power-on spacing
inline constexpr int kDefaultMaxHeight = 100000;

class Paper : public CommandSink {
 public:
  // What is on the paper at a dot.
  enum Mark : std::uint8_t { kBlank = 0, kDot = 1, kCutLine = 2, kKick = 3 };

  Paper(int widthDots, GlyphSource& glyphs, int maxHeight = kDefaultMaxHeight);

  void Character(std::uint32_t code) override;
  void LineFeed() override;
  void Initialize() override;
  void Justify(int alignment) override;
  void LineSpacing(int dots) override;
  void DefaultLineSpacing() override;
  void FeedDots(int dots) override;
  void FeedLines(int lines) override;
  void Cut(bool partial) override;
  void DrawerKick(int drawer) override;
  void BitImage(int mode, int columns, const std::uint8_t* data, std::size_t size) override;
  void RasterImage(int scale, int widthBytes, int rows, const std::uint8_t* data, std::size_t size) override;
  void Problem(std::size_t offset, const std::string& what) override;

  // Ends the job: data still in the line buffer is not printed (as on the
  // real printer) and is reported.
  void Finish();

  int Width() const { return width_; }
  // Paper used so far: down to the print position or the lowest mark.
  int Height() const;
  Mark At(int x, int y) const;
  int PrintPosition() const { return y_; }
  const std::vector<int>& Cuts() const { return cuts_; }
  int PartialCuts() const { return partialCuts_; }
  const std::vector<int>& Kicks() const { return kicks_; }  // the drawer of each kick
  // Problems found by the decoder or the paper, with stream offsets where known.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  struct Piece {
    DotBlock block;
  };
  void Add(DotBlock block, bool wraps);
  // Prints the line buffer and moves the paper by at least `feed` dots.
  void PrintLine(int feed);
  void Advance(int dots);
  void Set(int x, int y, Mark mark);

  int width_;
  int maxHeight_;
  GlyphSource& glyphs_;
  int alignment_ = 0;
  int lineAlignment_ = 0;
  int spacing_ = kDefaultLineSpacing;
  int y_ = 0;
  int lowest_ = 0;
  bool limitReported_ = false;
  std::vector<Piece> line_;
  int lineWidth_ = 0;
  std::vector<std::uint8_t> marks_;  // width_ per row
  std::vector<int> cuts_;
  int partialCuts_ = 0;
  std::vector<int> kicks_;
  std::vector<std::string> problems_;
};

}  // namespace vp
