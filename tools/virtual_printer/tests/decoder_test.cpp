#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "decoder.h"

namespace {

// Records every action as a short line of text.
class Recorder : public vp::CommandSink {
 public:
  std::vector<std::string> events;
  std::vector<std::size_t> problemOffsets;

  void Character(std::uint32_t code) override {
    char t[16];
    std::snprintf(t, sizeof t, code < 0x80 ? "char %c" : "gbk %04X", static_cast<int>(code));
    events.push_back(t);
  }
  void LineFeed() override { events.push_back("LF"); }
  void Initialize() override { events.push_back("init"); }
  void Justify(int a) override { events.push_back("align " + std::to_string(a)); }
  void LineSpacing(int d) override { events.push_back("spacing " + std::to_string(d)); }
  void DefaultLineSpacing() override { events.push_back("spacing default"); }
  void FeedDots(int d) override { events.push_back("feed " + std::to_string(d)); }
  void FeedLines(int n) override { events.push_back("feed lines " + std::to_string(n)); }
  void Cut(bool partial) override { events.push_back(partial ? "cut partial" : "cut full"); }
  void BitImage(int mode, int columns, const std::uint8_t* data, std::size_t size) override {
    std::string e = "image " + std::to_string(mode) + " " + std::to_string(columns) + ":";
    for (std::size_t i = 0; i < size; ++i) {
      char t[4];
      std::snprintf(t, sizeof t, " %02X", data[i]);
      e += t;
    }
    events.push_back(e);
  }
  void RasterImage(int scale, int widthBytes, int rows, const std::uint8_t* data, std::size_t size) override {
    std::string e = "raster " + std::to_string(scale) + " " + std::to_string(widthBytes) + "x" + std::to_string(rows) + ":";
    for (std::size_t i = 0; i < size; ++i) {
      char t[4];
      std::snprintf(t, sizeof t, " %02X", data[i]);
      e += t;
    }
    events.push_back(e);
  }
  void Ignored(std::size_t, const std::string& what) override { events.push_back("ignored " + what); }
  void Problem(std::size_t offset, const std::string&) override {
    events.push_back("problem");
    problemOffsets.push_back(offset);
  }
};

Recorder DecodeAll(const std::vector<std::uint8_t>& bytes) {
  Recorder r;
  vp::Decode(bytes.data(), bytes.size(), r);
  return r;
}

using Events = std::vector<std::string>;

}  // namespace

TEST(Decoder, DecodesTheCommandsOfAPage) {
  const Recorder r = DecodeAll({0x1B, 0x40, 0x1B, 0x61, 0x01, 'O', 'K', 0x0A,           // init, centre, "OK"
                          0xD6, 0xD0, 0xCE, 0xC4, 0x0A,                            // GBK text
                          0x1B, 0x33, 0x00, 0x1B, 0x2A, 0x21, 0x02, 0x00,          // spacing 0, image
                          0x80, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x0A,                // 2 columns x 3 bytes
                          0x1B, 0x4A, 0xC8, 0x1B, 0x6D});                          // feed, cut
  EXPECT_EQ((Events{"init", "align 1", "char O", "char K", "LF", "gbk D6D0", "gbk CEC4", "LF", "spacing 0",
                    "image 33 2: 80 00 01 FF 00 00", "LF", "feed 200", "cut partial"}),
            r.events);
}

TEST(Decoder, ReadsOtherCommandFormsOfTheLanguage) {
  const Recorder r = DecodeAll({0x1B, 0x61, '2', 0x1B, 0x61, 0x00, 0x1B, 0x32, 0x1B, 0x64, 0x03,
                          0x1B, 0x2A, 0x00, 0x03, 0x00, 0x01, 0x02, 0x03,  // 8-dot: one byte a column
                          0x1B, 0x69, 0x1D, 0x56, 0x42, 0x10, 0x1D, 0x56, 0x00,
                          0x1B, 0x21, 0x08, 0x1C, 0x26, 0x0D});
  EXPECT_EQ((Events{"align 2", "align 0", "spacing default", "feed lines 3", "image 0 3: 01 02 03", "cut full",
                    "feed 16", "cut partial", "cut full", "ignored ESC !", "ignored FS &", "ignored CR"}),
            r.events);
}

TEST(Decoder, ReportsUnknownBytesAndCarriesOn) {
  const Recorder r = DecodeAll({0x01, 'A', 0x1B, 0x7E, 'B', 0x1D, 0x99, 'C', 0x80, 0xFF, 0x1B, 0x61, 0x07, 'D',
                          0xB0, 0x30, 0x1B, 0x2A, 0x05, 0x01, 0x00, 'E'});
  EXPECT_EQ((Events{"problem", "char A", "problem", "char B", "problem", "char C", "problem", "problem",
                    "problem", "char D", "problem", "char 0", "problem", "char E"}),
            r.events);
  EXPECT_EQ((std::vector<std::size_t>{0, 2, 5, 8, 9, 10, 14, 16}), r.problemOffsets);
}

TEST(Decoder, CommandsCutShortAtTheEndAreReportedNotReadPast) {
  // Each stream ends inside a command; the decoder must stop at the last byte.
  const std::vector<std::vector<std::uint8_t>> streams = {
      {0x1B}, {0x1B, 0x61}, {0x1B, 0x33}, {0x1B, 0x4A}, {0x1B, 0x2A, 0x21, 0x80}, {0x1D}, {0x1D, 0x56},
      {0x1D, 0x56, 0x41}, {0x1C}, {0xD6}, {0x1B, 0x21}, {0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01}};
  for (const auto& s : streams) {
    // Copy into an exact-size heap block so that AddressSanitizer sees any overread.
    std::vector<std::uint8_t> exact(s);
    const Recorder r = DecodeAll(exact);
    EXPECT_EQ(Events{"problem"}, r.events) << s.size();
  }
}

TEST(Decoder, ABitImageLongerThanTheJobGetsZeroesForTheMissingBytes) {
  // 0xFFFF columns of 3 bytes promised, two delivered.
  const Recorder r = DecodeAll({0x1B, 0x2A, 0x21, 0xFF, 0xFF, 0xAA, 0xBB});
  ASSERT_EQ(2u, r.events.size());
  EXPECT_EQ("problem", r.events[0]);
  const std::string& image = r.events[1];
  EXPECT_EQ(0u, image.find("image 33 65535: AA BB 00 00"));
  EXPECT_EQ(std::string("image 33 65535:").size() + 3u * 65535u * 3u, image.size());
}

TEST(Decoder, RasterImagesTakeTheirRowsAndReportWhatIsMissingOrUnknown) {
  EXPECT_EQ((Events{"raster 0 2x2: AA BB CC DD", "raster 1 1x1: 80", "char A"}),
            DecodeAll({0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0xAA, 0xBB, 0xCC, 0xDD,
                       0x1D, 0x76, 0x30, '1', 0x01, 0x00, 0x01, 0x00, 0x80, 'A'}).events);
  EXPECT_EQ((Events{"problem", "raster 0 2x2: AA 00 00 00"}),
            DecodeAll({0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0xAA}).events);
  EXPECT_EQ((Events{"problem", "char A"}), DecodeAll({0x1D, 0x76, 0x31, 0x00, 0x01, 0x00, 0x01, 0x00, 'A'}).events);
}

TEST(Decoder, SurvivesArbitraryBytes) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(random() % 200));
    for (auto& b : bytes) {
      // Bias towards the bytes that start commands.
      const unsigned pick = random() % 8;
      b = pick == 0 ? 0x1B : pick == 1 ? 0x1D : static_cast<std::uint8_t>(random());
    }
    Recorder r;
    vp::Decode(bytes.data(), bytes.size(), r);
    for (std::size_t offset : r.problemOffsets) EXPECT_LT(offset, bytes.size());
  }
  Recorder none;
  vp::Decode(nullptr, 10, none);
  EXPECT_TRUE(none.events.empty());
}
