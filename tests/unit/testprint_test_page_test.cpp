// The test page, byte for byte, with the sample picture.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"
#include "testprint/test_page.h"

namespace {

std::string Hex(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The page up to the picture, after the heading's own bytes.
std::string AfterHeading() {
  const std::string eq8 = Repeat("3D ", 8);
  return Hex("0A 3D 3D B2 E2 CA D4 B3 CC D0 F2 D7 A8 D3 C3 3D 3D 0A" + eq8 + "BF AA CA BC B2 E2 CA D4" + eq8 +
             "0A 1B 40"
             "45 6E 67 6C 69 73 68 20 63 68 61 72 61 63 74 65 72 20 64 69 73 70 6C 61 79 0A 1B 40"
             "D6 D0 CE C4 D7 D6 B7 FB CF D4 CA BE 0A 1B 40"
             "1B 61 00 D7 F3 B6 D4 C6 EB 0A 1B 61 01 BE D3 D6 D0 B6 D4 C6 EB 0A 1B 61 02 D3 D2 B6 D4 C6 EB 0A"
             "1B 40 1B 61 01 CD BC C6 AC B2 E2 CA D4 0A");
}

std::string Closing() {
  const std::string eq8 = Repeat("3D ", 8);
  return Hex("0A" + eq8 + "B2 E2 CA D4 CD EA B3 C9" + eq8 + "0A 1B 4A C8 1B 4A C8 1B 6D");
}

struct Sample {
  BitmapRecord record;
  Sample() {
    std::ifstream in(LUMATREK_GENERATED_DIR "/sample.bmp", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fake::files().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\sample.bmp", bytes);
    std::optional<BitmapRecord> picture = BitmapRecord::Load("C:\\ProgramData\\Tovlan\\lumatrek\\sample.bmp");
    loaded = picture.has_value();
    if (picture) record = std::move(*picture);
  }
  bool loaded = false;
};

std::string Compose(const char* heading, const BitmapRecord* picture) {
  PrintJobBuffer b = *PrintJobBuffer::Create();
  ComposeTestPage(&b, heading, picture);
  return std::string(reinterpret_cast<const char*>(b.data()), static_cast<std::size_t>(b.length()));
}

}  // namespace

TEST(SamplePicture, GivesTwelveBandsOfWhichOnlyTheSixthToEighthCarryDots) {
  Sample sample;
  ASSERT_TRUE(sample.loaded);
  PrintJobBuffer b = *PrintJobBuffer::Create();
  AppendBitImage(&b, &sample.record, 384, 288, true, 200, 0x21);
  const std::string image(reinterpret_cast<const char*>(b.data()), static_cast<std::size_t>(b.length()));

  ASSERT_EQ(13899u, image.size());
  EXPECT_EQ(Hex("1B 33 00"), image.substr(0, 3));
  for (int band = 1; band <= 12; ++band) {
    const std::size_t at = 3 + static_cast<std::size_t>(band - 1) * 1158;
    EXPECT_EQ(Hex("1B 2A 21 80 01"), image.substr(at, 5)) << band;
    EXPECT_EQ('\x0A', image[at + 1157]) << band;
    const std::string data = image.substr(at + 5, 1152);
    const bool dots = data.find_first_not_of('\0') != std::string::npos;
    EXPECT_EQ(band >= 6 && band <= 8, dots) << band;
  }
  // The dark area's left edge, column 44, holds the rule in row 137 (band 6,
  // row 17: third byte, second bit) and the underline in rows 178-183 (band 8,
  // rows 10-15: second byte, low six bits); column 43 is blank.
  const auto column = [&image](int band, int x) { return image.substr(3 + (band - 1) * 1158 + 5 + x * 3, 3); };
  EXPECT_EQ(Hex("00 00 40"), column(6, 44));
  EXPECT_EQ(Hex("00 00 00"), column(7, 44));
  EXPECT_EQ(Hex("00 3F 00"), column(8, 44));
  EXPECT_EQ(Hex("00 00 00"), column(6, 43));
  EXPECT_EQ(Hex("00 00 00"), column(8, 326));
}

TEST(ComposeTestPage, NetworkPageIsByteExact) {
  Sample sample;
  ASSERT_TRUE(sample.loaded);
  const std::string page = Compose("192.168.0.1", &sample.record);
  ASSERT_EQ(14083u, page.size());
  const std::string prefix = Hex("1B 40 1B 61 01 31 39 32 2E 31 36 38 2E 30 2E 31") + AfterHeading();
  ASSERT_EQ(150u, prefix.size());
  EXPECT_EQ(prefix, page.substr(0, 150));
  // The picture follows the LF of its title directly.
  EXPECT_EQ(Hex("1B 33 00 1B 2A 21 80 01"), page.substr(150, 8));
  EXPECT_EQ(Closing(), page.substr(page.size() - 34));
}

TEST(ComposeTestPage, UsbPageDiffersOnlyInItsHeading) {
  Sample sample;
  ASSERT_TRUE(sample.loaded);
  const std::string network = Compose("192.168.0.1", &sample.record);
  const std::string usb = Compose("USB001", &sample.record);
  ASSERT_EQ(14078u, usb.size());
  EXPECT_EQ(Hex("1B 40 1B 61 01 55 53 42 30 30 31"), usb.substr(0, 11));
  EXPECT_EQ(network.substr(16), usb.substr(11));
}

TEST(ComposeTestPage, AnEmptyHeadingKeepsItsLineAndAFailedBufferStaysEmpty) {
  const BitmapRecord empty;
  const std::string page = Compose("", &empty);
  EXPECT_EQ(Hex("1B 40 1B 61 01") + AfterHeading() + Hex("1B 33 00") + Closing(), page);

  PrintJobBuffer source = *PrintJobBuffer::Create();
  const PrintJobBuffer taker = std::move(source);
  ComposeTestPage(&source, "USB001", &empty);
  EXPECT_EQ(0, source.length());
  EXPECT_EQ(nullptr, source.data());
  EXPECT_EQ(0, taker.length());
}
