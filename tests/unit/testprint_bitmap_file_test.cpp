// Loading 8-bit bitmap files through the file boundary.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "testprint/bitmap.h"

namespace {

const char kPath[] = "C:\\ProgramData\\Tovlan\\lumatrek\\sample.bmp";

std::string Le(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out;
}

// A bitmap file with both headers, `gap` bytes (a palette) and the pixel rows as stored.
std::string BitmapFile(std::int32_t width, std::int32_t height, int bitsPerPixel, const std::string& rows,
                       std::size_t gap = 1024) {
  const std::uint32_t offset = static_cast<std::uint32_t>(54 + gap);
  std::string f = "BM" + Le(static_cast<std::uint32_t>(offset + rows.size()), 4) + Le(0, 2) + Le(0, 2) + Le(offset, 4);
  f += Le(40, 4) + Le(static_cast<std::uint32_t>(width), 4) + Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) +
       Le(static_cast<std::uint32_t>(bitsPerPixel), 2) + Le(0, 4) + Le(static_cast<std::uint32_t>(rows.size()), 4) +
       Le(2835, 4) + Le(2835, 4) + Le(256, 4) + Le(0, 4);
  f += std::string(gap, '\x7F');
  return f + rows;
}

std::string SampleBytes() {
  std::ifstream in(LUMATREK_GENERATED_DIR "/sample.bmp", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads `bytes` from the fake disk; afterwards no stream may be left open.
std::optional<BitmapRecord> Load(const std::string& bytes) {
  fake::files().AddFile(kPath, bytes);
  std::optional<BitmapRecord> loaded = BitmapRecord::Load(kPath);
  EXPECT_EQ(0, fake::files().OpenStreams());
  return loaded;
}

}  // namespace

TEST(LoadBitmapFile, LoadsTheSamplePictureWithItsHeadersAndPixels) {
  const std::string sample = SampleBytes();
  ASSERT_EQ(111670u, sample.size()) << "sample picture not generated";
  {
    std::optional<BitmapRecord> r = Load(sample);
    ASSERT_TRUE(r);
    const BitmapHeaders& h = r->headers();
    EXPECT_EQ(0x4D42, h.type);
    EXPECT_EQ(111670u, h.fileSize);
    EXPECT_EQ(1078u, h.pixelDataOffset);
    EXPECT_EQ(40u, h.headerSize);
    EXPECT_EQ(384, r->width());
    EXPECT_EQ(288, r->height());
    EXPECT_EQ(8, h.bitsPerPixel);
    EXPECT_EQ(384u * 288u, r->pixelBlockSize());
    // The first row stored is row 0; every pixel as in the file.
    EXPECT_EQ(0, std::memcmp(r->pixels(), sample.data() + 1078, 384 * 288));
    EXPECT_EQ(1, fake::LiveBlocks());
    // Moving hands the block over; the source keeps none.
    const BitmapRecord moved = std::move(*r);
    EXPECT_EQ(nullptr, r->pixels());
    EXPECT_EQ(0u, r->pixelBlockSize());
    EXPECT_EQ(1, fake::LiveBlocks());
  }
  EXPECT_EQ(0, fake::LiveBlocks());
}

TEST(LoadBitmapFile, SkipsTheRowPaddingOfWidthsThatAreNotAMultipleOf4) {
  // Width 3: each stored row carries one byte of padding (EE); the last row's may be missing.
  std::optional<BitmapRecord> r = Load(BitmapFile(3, 3, 8, "\x01\x02\x03\xEE\x04\x05\x06\xEE\x07\x08\x09", 0));
  ASSERT_TRUE(r);
  EXPECT_EQ(9u, r->pixelBlockSize());
  EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09"),
            std::string(reinterpret_cast<const char*>(r->pixels()), 9));

  // Width 4 has no padding.
  r = Load(BitmapFile(4, 2, 8, "\x01\x02\x03\x04\x05\x06\x07\x08", 4));
  ASSERT_TRUE(r);
  EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07\x08"), std::string(reinterpret_cast<const char*>(r->pixels()), 8));
  EXPECT_EQ(1, fake::LiveBlocks()) << "the first picture's block went with it";
}

TEST(LoadBitmapFile, RefusesOtherDepthsTopDownFilesAndMissingInput) {
  const std::string rows(16, '\0');
  for (int bits : {1, 4, 24, 32}) {
    EXPECT_FALSE(Load(BitmapFile(4, 4, bits, rows))) << bits;
  }
  EXPECT_FALSE(Load(BitmapFile(4, -4, 8, rows)));
  EXPECT_FALSE(Load(BitmapFile(-4, 4, 8, rows)));
  EXPECT_FALSE(BitmapRecord::Load("C:\\missing.bmp"));
  EXPECT_FALSE(BitmapRecord::Load(nullptr));
  EXPECT_EQ(0, fake::LiveBlocks());
  EXPECT_EQ(0, fake::files().OpenStreams());
}

TEST(LoadBitmapFile, AFileThatEndsEarlyIsRefused) {
  const std::string whole = BitmapFile(8, 8, 8, std::string(64, '\x10'));
  // Inside each file-header field, inside the info header, at the pixel offset, one pixel short.
  for (std::size_t length : {std::size_t{1}, std::size_t{5}, std::size_t{13}, std::size_t{30},
                             std::size_t{53}, std::size_t{54 + 1024}, whole.size() - 1}) {
    EXPECT_FALSE(Load(whole.substr(0, length))) << length;
    EXPECT_EQ(0, fake::LiveBlocks()) << length;
  }
  // A pixel data offset beyond the end of the file.
  std::string farOffset = whole;
  farOffset.replace(10, 4, Le(0x7FFFFFF0u, 4));
  EXPECT_FALSE(Load(farOffset));
  farOffset.replace(10, 4, Le(0xFFFFFFF0u, 4));
  EXPECT_FALSE(Load(farOffset));
  EXPECT_EQ(0, fake::LiveBlocks());
}

TEST(LoadBitmapFile, SizesThatOverflowOrExceedTheBoundAreRefusedBeforeAllocating) {
  struct Size {
    std::int32_t width, height;
  };
  // 65536 x 65536 is 0 in 32-bit arithmetic; the others overflow int or pass the bound.
  // A zero width with a huge height holds no pixels, yet would make the
  // picture billions of rows tall: refused by the side bound (found by fuzzing).
  for (Size s : {Size{65536, 65536}, Size{0x7FFFFFFF, 2}, Size{2, 0x7FFFFFFF}, Size{8193, 8193},
                 Size{384, 0x00200000}, Size{0, 0x7FFFFFFF}}) {
    EXPECT_FALSE(Load(BitmapFile(s.width, s.height, 8, std::string(64, '\0')))) << s.width << "x" << s.height;
  }
  EXPECT_EQ(0, fake::CallCount("malloc"));
}

TEST(LoadBitmapFile, AFailedAllocationOrReadIsRefusedAndTheFileClosed) {
  const std::string file = BitmapFile(4, 4, 8, std::string(16, '\x01'));
  fake::Fail("malloc");
  EXPECT_FALSE(Load(file));
  fake::Reset();
  fake::Fail("fread");
  EXPECT_FALSE(Load(file));
  fake::Reset();
  fake::Fail("fseek");
  EXPECT_FALSE(Load(file));
  EXPECT_EQ(0, fake::LiveBlocks());
}
