#include <gtest/gtest.h>

#include <vector>

#include "decoder.h"
#include "glyphs.h"
#include "paper.h"

namespace {

// Feeds raw bytes through the decoder onto a paper drawn with box glyphs.
struct Printed {
  vp::BoxGlyphs boxes;
  vp::Paper paper;
  explicit Printed(const std::vector<std::uint8_t>& bytes, int width = 384, int maxHeight = vp::kDefaultMaxHeight)
      : paper(width, boxes, maxHeight) {
    vp::Decode(bytes.data(), bytes.size(), paper);
    paper.Finish();
  }
  // First and last columns with a dot in rows [top, bottom); -1 when none.
  std::pair<int, int> InkColumns(int top, int bottom) const {
    int first = -1, last = -1;
    for (int x = 0; x < paper.Width(); ++x) {
      for (int y = top; y < bottom; ++y) {
        if (paper.At(x, y) == vp::Paper::kDot) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    }
    return {first, last};
  }
  int DotsInRow(int y) const {
    int n = 0;
    for (int x = 0; x < paper.Width(); ++x) n += paper.At(x, y) == vp::Paper::kDot;
    return n;
  }
};

// ESC * 33 with `columns` solid columns (all 24 dots), then LF.
std::vector<std::uint8_t> SolidBand(int columns) {
  std::vector<std::uint8_t> b = {0x1B, 0x2A, 0x21, static_cast<std::uint8_t>(columns % 256),
                                 static_cast<std::uint8_t>(columns / 256)};
  b.insert(b.end(), static_cast<std::size_t>(columns) * 3, 0xFF);
  b.push_back(0x0A);
  return b;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(Paper, AlignsEachLineAsJustifiedAtItsStart) {
  const Printed p(Join({{0x1B, 0x33, 0x00}, SolidBand(10),              // left
                        {0x1B, 0x61, 0x01}, SolidBand(10),              // centre
                        {0x1B, 0x61, 0x02}, SolidBand(10),              // right
                        {0x1B, 0x40, 0x1B, 0x33, 0x00}, SolidBand(10)}));  // ESC @: left again
  EXPECT_EQ(std::make_pair(0, 9), p.InkColumns(0, 24));
  EXPECT_EQ(std::make_pair(187, 196), p.InkColumns(24, 48));
  EXPECT_EQ(std::make_pair(374, 383), p.InkColumns(48, 72));
  EXPECT_EQ(std::make_pair(0, 9), p.InkColumns(72, 96));
  EXPECT_TRUE(p.paper.Problems().empty());
}

TEST(Paper, BandsWithZeroLineSpacingTouchAndTextLinesUseTheSpacing) {
  const Printed p(Join({{0x1B, 0x33, 0x00}, SolidBand(4), SolidBand(4), {0x0A},  // LF at spacing 0 moves nothing
                        {0x1B, 0x40, 'A', 0x0A, 'B', 0x0A}}));
  for (int y = 0; y < 48; ++y) EXPECT_EQ(4, p.DotsInRow(y)) << y;
  EXPECT_EQ(0, p.DotsInRow(48));
  // Text after ESC @: 24-dot cells on a 30-dot pitch. Box glyphs leave rows 0-2 of a cell blank.
  EXPECT_GT(p.DotsInRow(48 + 3), 0);
  EXPECT_EQ(0, p.DotsInRow(48 + 24));
  EXPECT_GT(p.DotsInRow(48 + 30 + 3), 0);
  EXPECT_EQ(48 + 60, p.paper.PrintPosition());
}

TEST(Paper, TextCellsAreHalfWidthForAsciiAndFullWidthForGbk) {
  const Printed p({0x1B, 0x61, 0x01, 'A', 0xD6, 0xD0, 0x0A});
  // 12 + 24 dots centred on 384: from 174 to 209, boxes inset by one dot.
  EXPECT_EQ(std::make_pair(175, 208), p.InkColumns(0, 24));
}

TEST(Paper, LongTextWrapsButBitImagesStopAtTheEdge) {
  std::vector<std::uint8_t> text(33, 'x');
  text.push_back(0x0A);
  const Printed wrapped(text);
  EXPECT_EQ(2 * vp::kDefaultLineSpacing, wrapped.paper.PrintPosition());
  EXPECT_EQ(std::make_pair(1, 10), wrapped.InkColumns(30, 54));  // the 33rd character

  const Printed image(SolidBand(400));
  EXPECT_EQ(std::make_pair(0, 383), image.InkColumns(0, 24));
  EXPECT_EQ(1u, image.paper.Problems().size());
}

TEST(Paper, SingleDensityModesDrawEachColumnTwoDotsWide) {
  const Printed p({0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x01, 0x0A});
  EXPECT_EQ(2, p.DotsInRow(0));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(0, 0));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(1, 0));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(2, 7));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(3, 7));
  EXPECT_EQ(vp::kDefaultLineSpacing, p.paper.PrintPosition());  // 8 rows printed, spacing 30 fed
}

TEST(Paper, FeedsAndTheCutMoveThePaperAndMarkIt) {
  const Printed p({'A', 0x0A, 0x1B, 0x4A, 0xC8, 0x1B, 0x4A, 0xC8, 0x1B, 0x6D}, 576);
  EXPECT_EQ(576, p.paper.Width());
  ASSERT_EQ(std::vector<int>{30 + 400}, p.paper.Cuts());
  // A dashed line: marks with gaps, across the whole width.
  int marks = 0;
  for (int x = 0; x < 576; ++x) marks += p.paper.At(x, 430) == vp::Paper::kCutLine;
  EXPECT_GT(marks, 576 / 2);
  EXPECT_LT(marks, 576);
  EXPECT_EQ(vp::Paper::kCutLine, p.paper.At(570, 431));
  EXPECT_EQ(432, p.paper.Height());
}

TEST(Paper, UnprintedDataAndRunawayFeedsAreReportedAndBounded) {
  const Printed unprinted({'A', 'B'});
  EXPECT_EQ(0, unprinted.paper.Height());
  EXPECT_EQ(1u, unprinted.paper.Problems().size());

  std::vector<std::uint8_t> feeds;
  for (int i = 0; i < 100; ++i) feeds.insert(feeds.end(), {0x1B, 0x4A, 0xFF});
  feeds.insert(feeds.end(), {'A', 0x0A});
  const Printed runaway(feeds, 384, 1000);
  EXPECT_EQ(1000, runaway.paper.PrintPosition());
  EXPECT_EQ(1u, runaway.paper.Problems().size());
  EXPECT_LE(runaway.paper.Height(), 1000);
}

TEST(Paper, RasterImagesPrintAtOnceFromTheLeftEdgeAndMoveThePaperByTheirRows) {
  // Two rows of 16 dots, then double width and height, then a feed and a cut.
  const Printed p({0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80, 0x01, 0xFF, 0xFF,
                   0x1D, 0x76, 0x30, 0x03, 0x01, 0x00, 0x01, 0x00, 0x40,
                   0x1B, 0x4A, 0x05, 0x1D, 0x56, 0x42, 0x00});
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(0, 0));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(15, 0));
  EXPECT_EQ(2, p.DotsInRow(0));
  EXPECT_EQ(16, p.DotsInRow(1));
  EXPECT_EQ(2, p.DotsInRow(2));
  EXPECT_EQ(vp::Paper::kDot, p.paper.At(3, 3));
  EXPECT_EQ(0, p.DotsInRow(4));
  EXPECT_EQ(std::vector<int>{2 + 2 + 5}, p.paper.Cuts());
  EXPECT_TRUE(p.paper.Problems().empty());
}
