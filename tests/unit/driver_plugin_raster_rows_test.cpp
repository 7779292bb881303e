// The plug-in's packing of page rows into printer commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "raster_rows.h"

namespace {

using Bytes = std::string;
using namespace std::string_literals;

// Takes up to `room` bytes (all when negative), then refuses, as a cancelled job does.
struct Recorder : raster::CommandOutput {
  bool Write(const std::uint8_t* bytes, std::size_t size, std::size_t* taken) override {
    *taken = room < 0 || static_cast<std::size_t>(room) >= size ? size : static_cast<std::size_t>(room);
    written.append(reinterpret_cast<const char*>(bytes), *taken);
    if (room >= 0) room -= static_cast<long>(*taken);
    return *taken == size;
  }
  bool WriteAbort(const std::uint8_t* bytes, std::size_t size) override {
    aborted.append(reinterpret_cast<const char*>(bytes), size);
    return true;
  }
  Bytes written;
  Bytes aborted;
  long room = -1;
};

// A band from rows drawn as text ('#' a dot), in unidrv's form: set bits
// white, rows padded to 4 bytes, bits past the width left 0.
struct DrawnBand {
  DrawnBand(std::vector<std::string> rows, bool setBitIsBlack = false) {
    width = static_cast<std::uint32_t>(rows.empty() ? 0 : rows[0].size());
    stride = ((width + 31) / 32) * 4;
    bits.assign(stride * rows.size(), 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::uint32_t x = 0; x < width; ++x) {
        if ((rows[r][x] == '#') == setBitIsBlack) bits[r * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    band = raster::Band{bits.data(), stride, width, static_cast<std::uint32_t>(rows.size()), setBitIsBlack};
  }
  std::vector<std::uint8_t> bits;
  std::uint32_t width = 0;
  std::size_t stride = 0;
  raster::Band band{};
};

// GS v 0 0 with two bytes a row, the rows' bytes given.
Bytes Block(const Bytes& rows, int widthBytes = 2) {
  const int count = static_cast<int>(rows.size()) / widthBytes;
  return Bytes("\x1Dv0\0", 4) + static_cast<char>(widthBytes) + '\0' + static_cast<char>(count & 0xFF) +
         static_cast<char>(count >> 8) + rows;
}
Bytes Feed(int dots) { return Bytes("\x1BJ") + static_cast<char>(dots); }
const Bytes kInit("\x1B@");
const Bytes kCut("\x1DVB\0", 4);

}  // namespace

TEST(RasterRows, PagesBecomeRasterBlocksAndFeeds) {
  struct Case {
    const char* what;
    std::function<void(raster::RasterWriter&)> page;
    Bytes expected;  // between the reset and the cut
  };
  const std::vector<Case> cases = {
      {"one row", [](raster::RasterWriter& w) { w.AddBand(DrawnBand({"#.......#......."}).band); },
       Block("\x80\x80")},
      {"printed rows together form one block",
       [](raster::RasterWriter& w) { w.AddBand(DrawnBand({"#...............", ".#..............", "...............#"}).band); },
       Block(Bytes("\x80\0\x40\0\0\x01", 6))},
      {"blank rows between become a feed, blank rows above are fed too",
       [](raster::RasterWriter& w) {
         w.AddBand(DrawnBand({"................", "########........", "................", "................",
                              "........########"}).band);
       },
       Feed(1) + Block(Bytes("\xFF\0", 2)) + Feed(2) + Block(Bytes("\0\xFF", 2))},
      {"the page ends at its last printed row",
       [](raster::RasterWriter& w) {
         w.AddBand(DrawnBand({"#...............", "................", "................"}).band);
         w.AddBlankRows(40);
         w.StartPage();
       },
       Block(Bytes("\x80\0", 2))},
      {"the next page follows the last printed row of the one before",
       [](raster::RasterWriter& w) {
         w.AddBand(DrawnBand({"#...............", "................"}).band);
         w.StartPage();
         w.AddBand(DrawnBand({"................", ".#.............."}).band);
       },
       Block(Bytes("\x80\0", 2)) + Feed(1) + Block(Bytes("\x40\0", 2))},
      {"feeds over 255 dots are split, across blank bands",
       [](raster::RasterWriter& w) {
         w.AddBlankRows(300);
         w.AddBand(DrawnBand({"................", "#..............."}).band);
         w.AddBlankRows(509);
         w.AddBand(DrawnBand({"#..............."}).band);
       },
       Feed(255) + Feed(46) + Block(Bytes("\x80\0", 2)) + Feed(255) + Feed(254) + Block(Bytes("\x80\0", 2))},
      {"dots past the paper's width are cut off",
       [](raster::RasterWriter& w) {
         w.AddBand(DrawnBand({"................#", "#...............#"}).band);
       },
       Feed(1) + Block(Bytes("\x80\0", 2))},
      {"a narrower band is padded with blank dots",
       [](raster::RasterWriter& w) { w.AddBand(DrawnBand({"#...#"}).band); }, Block(Bytes("\x88\0", 2))},
      {"set bits are dots under a palette with black at index 1",
       [](raster::RasterWriter& w) { w.AddBand(DrawnBand({"..#.............", "................"}, true).band); },
       Block(Bytes("\x20\0", 2))},
  };
  for (const Case& c : cases) {
    Recorder out;
    raster::RasterWriter writer(out, 16);
    ASSERT_TRUE(writer.StartJob());
    c.page(writer);
    ASSERT_TRUE(writer.EndJob()) << c.what;
    EXPECT_EQ(testing::PrintToString(kInit + c.expected + kCut), testing::PrintToString(out.written)) << c.what;
  }
}

TEST(RasterRows, BlocksHoldAtMost256Rows) {
  Recorder out;
  raster::RasterWriter writer(out, 16);
  writer.AddBand(DrawnBand(std::vector<std::string>(300, "################")).band);
  EXPECT_EQ(Block(Bytes(512, '\xFF')) + Block(Bytes(88, '\xFF')), out.written);
  EXPECT_EQ(Bytes("\x1Dv0\0\x02\0\0\x01", 8), out.written.substr(0, 8));
}

TEST(RasterRows, ARefusedWriteFailsTheBandAndEverythingAfter) {
  Recorder out;
  raster::RasterWriter writer(out, 16);
  out.room = 0;
  EXPECT_FALSE(writer.AddBand(DrawnBand({"#..............."}).band));
  EXPECT_TRUE(writer.Failed());
  out.room = -1;
  EXPECT_FALSE(writer.EndJob());
  EXPECT_EQ("", out.written);

  // A band whose rows are shorter than its width is refused, not read past.
  raster::RasterWriter other(out, 16);
  DrawnBand short_rows({"#..............."});
  short_rows.band.stride = 1;
  EXPECT_FALSE(other.AddBand(short_rows.band));
}

// How the cut and the blank gaps fall between pages (the harness under Wine
// checks each option's bytes at the job's ends).
TEST(RasterRows, PreferencesShapeTheJob) {
  struct Case {
    const char* what;
    raster::JobSettings settings;
    Bytes expected;  // the whole job
  };
  // Each page ends at its last printed row: the next one starts right below.
  const Bytes page = Block("\x80\0"s) + Feed(100) + Block("\x80\0"s);
  const Bytes twoPages = page + page;
  raster::JobSettings s;
  const std::vector<Case> cases = {
      {"defaults: one partial cut at the end", s, kInit + twoPages + kCut},
      {"full cut after each page",
       {raster::Cut::kFull, true}, kInit + page + "\x1DVA\0"s + page + "\x1DVA\0"s},
      {"no cut, even after each page", {raster::Cut::kNone, true}, kInit + twoPages},
      {"long blank gaps shortened",
       {raster::Cut::kPartial, false, 0, raster::Drawer::kNone, 0, 50},
       kInit + Block("\x80\0"s) + Feed(50) + Block("\x80\0"s) + Block("\x80\0"s) + Feed(50) +
           Block("\x80\0"s) + kCut},
  };
  for (const Case& c : cases) {
    Recorder out;
    raster::RasterWriter writer(out, 16, c.settings);
    ASSERT_TRUE(writer.StartJob());
    for (int p = 0; p < 2; ++p) {
      writer.StartPage();
      writer.AddBand(DrawnBand({"#..............."}).band);
      writer.AddBlankRows(100);
      writer.AddBand(DrawnBand({"#...............", "................"}).band);
    }
    ASSERT_TRUE(writer.EndJob()) << c.what;
    EXPECT_EQ(testing::PrintToString(c.expected), testing::PrintToString(out.written)) << c.what;
  }
}

// A job refused part-way completes the command it broke off (header as
// written, data blank) and resets the printer, wherever the break falls.
TEST(RasterRows, ACancelledJobEndsOnAWholeCommandAndAReset) {
  const Bytes head("\x1Dv0\0\x02\0\x01\0", 8), blank("\0\0", 2), data("\xFF\xFF", 2);
  const struct {
    long room;  // bytes the printer takes before the job is cancelled
    Bytes expected;
  } cases[] = {
      {0, ""},
      {1, head + blank},
      {5, head + blank},
      {8, head + blank},
      {9, head + "\xFF"s + "\0"s},
      {10, head + data},
      {12, head + data + Feed(3)},
  };
  for (const auto& c : cases) {
    Recorder out;
    raster::RasterWriter writer(out, 16);
    out.room = c.room;
    writer.AddBand(DrawnBand({"################"}).band);
    writer.AddBlankRows(3);
    writer.AddBand(DrawnBand({"################"}).band);
    EXPECT_FALSE(writer.EndJob()) << c.room;
    EXPECT_EQ(testing::PrintToString(c.expected + kInit), testing::PrintToString(out.written + out.aborted))
        << c.room;
  }
}
