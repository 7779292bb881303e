// Rasterisation of a bitmap record into bit-image bands.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"

namespace {

// A record of `width` x `height` whose pixel block holds `pixels`.
BitmapRecord RecordOver(int width, int height, const std::vector<unsigned char>& pixels) {
  BitmapHeaders headers;
  headers.bitsPerPixel = 8;
  headers.width = width;
  headers.height = height;
  os::HeapBlock block(pixels.size());
  if (!pixels.empty()) std::memcpy(block.get(), pixels.data(), pixels.size());
  return BitmapRecord(headers, std::move(block));
}

// A picture drawn by the test; rows of `width` bytes, `fill` each. record()
// gives it as a record, with the pixels set so far.
struct Picture {
  int width;
  int height;
  std::vector<unsigned char> pixels;
  std::optional<BitmapRecord> current;
  Picture(int w, int h, unsigned char fill)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h < 0 ? -h : h), fill) {}
  void Set(int x, int y, unsigned char v) { pixels[static_cast<std::size_t>(y) * width + x] = v; }
  const BitmapRecord* record() { return &current.emplace(RecordOver(width, height, pixels)); }
};

struct Buffer {
  PrintJobBuffer b = *PrintJobBuffer::Create();
  std::vector<unsigned char> Bytes() const { return std::vector<unsigned char>(b.data(), b.data() + b.length()); }
};

using Bytes = std::vector<unsigned char>;

Bytes Slice(const Bytes& v, std::size_t from, std::size_t count) {
  return Bytes(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(from + count));
}

}  // namespace

TEST(AppendBandColumns, ColumnMajorWithTheTopRowAsTheMostSignificantBit) {
  Picture pic(2, 24, 255);
  pic.Set(0, 0, 0);    // column 0, first group, top bit
  pic.Set(0, 9, 0);    // column 0, second group, second bit
  pic.Set(1, 23, 0);   // column 1, third group, bottom bit
  pic.Set(1, 7, 0);    // column 1, first group, bottom bit
  Buffer buf;
  AppendBandColumns(&buf.b, pic.record(), 2, 24, 0, 200);
  EXPECT_EQ((Bytes{0x80, 0x40, 0x00, 0x01, 0x00, 0x01}), buf.Bytes());
}

TEST(AppendBandColumns, OnlyValuesStrictlyBelowTheThresholdPrint) {
  Picture pic(1, 8, 255);
  pic.Set(0, 0, 200);  // equal: blank
  pic.Set(0, 1, 199);  // one less: dot
  pic.Set(0, 2, 0);
  pic.Set(0, 3, 201);
  Buffer buf;
  AppendBandColumns(&buf.b, pic.record(), 1, 8, 0, 200);
  EXPECT_EQ((Bytes{0x60}), buf.Bytes());
}

TEST(AppendBandColumns, PixelsOutsideThePictureAreBlankWhateverTheThreshold) {
  Picture pic(1, 2, 0);
  Buffer buf;
  // Threshold 255: the picture's dark pixels print, the padding (value 255) never does.
  AppendBandColumns(&buf.b, pic.record(), 3, 8, 0, 255);
  EXPECT_EQ((Bytes{0xC0, 0x00, 0x00}), buf.Bytes());
}

TEST(AppendBandColumns, NeverReadsBeyondThePixelBlock) {
  // A record whose block is shorter than its headers claim (and one with no
  // block at all) must still come out blank where no pixel exists.
  const BitmapRecord shortBlock = RecordOver(8, 24, std::vector<unsigned char>(8, 0));
  BitmapHeaders headers;
  headers.width = 8;
  headers.height = 24;
  const BitmapRecord noBlock(headers, os::HeapBlock());
  Buffer buf;
  AppendBandColumns(&buf.b, &shortBlock, 8, 24, 0, 200);
  AppendBandColumns(&buf.b, &noBlock, 8, 24, 0, 200);
  Bytes expected;
  for (int x = 0; x < 8; ++x) expected.insert(expected.end(), {0x80, 0x00, 0x00});
  expected.insert(expected.end(), 24, 0x00);
  EXPECT_EQ(expected, buf.Bytes());
}

TEST(AppendBitImage, RoundsTheHeightUpToWholeBandsOfBlankRows) {
  Picture pic(1, 290, 0);
  Buffer buf;
  AppendBitImage(&buf.b, pic.record(), 0, 0, true, 200, 0x21);
  const Bytes out = buf.Bytes();
  ASSERT_EQ(3u + 13u * (5 + 3 + 1), out.size());
  EXPECT_EQ((Bytes{0x1B, 0x33, 0x00}), Slice(out, 0, 3));
  for (int band = 0; band < 13; ++band) {
    const std::size_t at = 3 + static_cast<std::size_t>(band) * 9;
    EXPECT_EQ((Bytes{0x1B, 0x2A, 0x21, 0x01, 0x00}), Slice(out, at, 5)) << band;
    const Bytes data = band < 12 ? Bytes{0xFF, 0xFF, 0xFF} : Bytes{0xC0, 0x00, 0x00};
    EXPECT_EQ(data, Slice(out, at + 5, 3)) << band;
    EXPECT_EQ(0x0A, out[at + 8]) << band;
  }
}

TEST(AppendBitImage, ModesOtherThan20And21Use8RowBandsAndLineFeedsAreOptional) {
  for (unsigned char mode : {0x00, 0x01, 0x22}) {
    Picture pic(3, 17, 255);
    pic.Set(2, 16, 0);
    Buffer buf;
    AppendBitImage(&buf.b, pic.record(), 3, 17, false, 200, mode);
    const Bytes out = buf.Bytes();
    // 17 rows make three 8-row bands of 5 command bytes and 3 data bytes.
    ASSERT_EQ(3u + 3u * 8u, out.size()) << int(mode);
    EXPECT_EQ((Bytes{0x1B, 0x2A, mode, 0x03, 0x00, 0x00, 0x00, 0x00}), Slice(out, 3, 8));
    EXPECT_EQ((Bytes{0x1B, 0x2A, mode, 0x03, 0x00, 0x00, 0x00, 0x80}), Slice(out, 19, 8));
  }
}

TEST(AppendBitImage, AWidthOver1024SendsTheFirst1024Columns) {
  Picture pic(2000, 8, 255);
  pic.Set(1023, 0, 0);  // last column sent
  pic.Set(1024, 1, 0);  // first column cut off
  Buffer buf;
  AppendBitImage(&buf.b, pic.record(), 2000, 8, true, 200, 0);
  const Bytes out = buf.Bytes();
  ASSERT_EQ(3u + 5u + 1024u + 1u, out.size());
  EXPECT_EQ((Bytes{0x1B, 0x2A, 0x00, 0x00, 0x04}), Slice(out, 3, 5));
  EXPECT_EQ(0x80, out[3 + 5 + 1023]);
  EXPECT_EQ(Bytes(1023, 0x00), Slice(out, 8, 1023));
  EXPECT_EQ(0x0A, out.back());
}

TEST(AppendBitImage, WidthAndHeightDefaultToTheRecordAndANegativeHeightCountsByItsSize) {
  Picture pic(300, -30, 255);
  pic.Set(299, 29, 0);
  Buffer buf;
  AppendBitImage(&buf.b, pic.record(), -1, 0, true, 200, 0x20);
  const Bytes out = buf.Bytes();
  // 300 = 0x12C columns, 30 rows round up to two 24-row bands.
  ASSERT_EQ(3u + 2u * (5 + 900 + 1), out.size());
  EXPECT_EQ((Bytes{0x1B, 0x2A, 0x20, 0x2C, 0x01}), Slice(out, 3, 5));
  const std::size_t secondBand = 3 + 906;
  EXPECT_EQ((Bytes{0x1B, 0x2A, 0x20, 0x2C, 0x01}), Slice(out, secondBand, 5));
  // Row 29 is the sixth row of the second band: weight 2^(7-5) in its first group.
  EXPECT_EQ((Bytes{0x04, 0x00, 0x00, 0x0A}), Slice(out, out.size() - 4, 4));
}

TEST(AppendBitImage, AnEmptyPictureYieldsOnlyTheLineSpacing) {
  Picture pic(384, 0, 0);
  Buffer buf;
  AppendBitImage(&buf.b, pic.record(), 384, 0, true, 200, 0x21);
  EXPECT_EQ((Bytes{0x1B, 0x33, 0x00}), buf.Bytes());
  Buffer none;
  AppendBitImage(&none.b, nullptr, 384, 24, true, 200, 0x21);
  EXPECT_EQ(0, none.b.length());
}
