#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "decoder.h"
#include "glyphs.h"
#include "loopback.h"
#include "options.h"
#include "paper.h"
#include "png_output.h"

namespace {

std::string TempPath(const char* name) {
  return testing::TempDir() + "vp_" + std::to_string(::getpid()) + "_" + name;
}

int Dots(const vp::DotBlock& b) {
  int n = 0;
  for (std::uint8_t d : b.dots) n += d;
  return n;
}

}  // namespace

TEST(Glyphs, GbkPairsMapToUnicode) {
  EXPECT_EQ(0x4E2Du, vp::GbkToUnicode(0xD6D0));  // 中
  EXPECT_EQ(0x6D4Bu, vp::GbkToUnicode(0xB2E2));  // 测
  EXPECT_EQ(0x41u, vp::GbkToUnicode('A'));
}

TEST(Glyphs, TheCjkFontDrawsInsideTheCell) {
  vp::FontGlyphs font;
  std::string error;
  ASSERT_TRUE(font.Open(VP_FONT, &error)) << error;
  const vp::DotBlock wide = font.Render(0xD6D0);
  const vp::DotBlock ascii = font.Render('E');
  const vp::DotBlock space = font.Render(' ');
  EXPECT_EQ(24, wide.width);
  EXPECT_EQ(12, ascii.width);
  EXPECT_EQ(24, ascii.height);
  // 中 has a long vertical stroke through the middle column.
  int middle = 0;
  for (int y = 0; y < 24; ++y) middle += wide.At(11, y) || wide.At(12, y);
  EXPECT_GE(middle, 18);
  EXPECT_GT(Dots(ascii), 20);
  EXPECT_EQ(0, Dots(space));
  EXPECT_FALSE(font.Open("/nonexistent/font.ttf", &error));
}

TEST(PngOutput, WritesThePaperAsGreyscale) {
  vp::BoxGlyphs boxes;
  vp::Paper paper(64, boxes);
  const std::uint8_t bytes[] = {0x1B, 0x2A, 0x21, 0x01, 0x00, 0x80, 0x00, 0x00, 0x0A, 0x1B, 0x6D};
  vp::Decode(bytes, sizeof bytes, paper);
  const std::string path = TempPath("paper.png");
  std::string error;
  ASSERT_TRUE(vp::WritePaperPng(paper, path, &error)) << error;

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(0, png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_GRAY;
  std::vector<png_byte> grey(PNG_IMAGE_SIZE(image));
  ASSERT_NE(0, png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr));
  EXPECT_EQ(64u, image.width);
  EXPECT_EQ(static_cast<unsigned>(paper.Height()), image.height);
  EXPECT_EQ(0, grey[0]);       // the one dot
  EXPECT_EQ(255, grey[1]);     // paper
  EXPECT_EQ(128, grey[static_cast<std::size_t>(paper.Cuts()[0]) * 64]);  // the cut
  std::remove(path.c_str());
  EXPECT_FALSE(vp::WritePaperPng(paper, "/nonexistent/dir/x.png", &error));
}

TEST(Options, ParsesPaperWidthsAndRefusesBadValues) {
  vp::Options o;
  bool help = false;
  std::string error;
  const char* args[] = {"vp", "--paper", "80", "--port", "0", "--jobs", "3", "--raw", "r.bin", "--strict"};
  ASSERT_TRUE(vp::ParseOptions(10, args, &o, &help, &error)) << error;
  EXPECT_EQ(576, o.width);
  EXPECT_EQ(0, o.port);
  EXPECT_EQ(3, o.jobs);
  EXPECT_EQ("r.bin", o.raw);
  EXPECT_TRUE(o.strict);
  EXPECT_EQ(384, vp::Options().width);
  for (const char* bad : {"--paper=58", "--port"}) {
    const char* a[] = {"vp", bad};
    EXPECT_FALSE(vp::ParseOptions(2, a, &o, &help, &error)) << bad;
  }
  // --jobs 0 is a printer that only answers status requests (--status-sessions).
  const char* badValues[][3] = {{"vp", "--paper", "76"}, {"vp", "--port", "70000"}, {"vp", "--jobs", "-1"},
                                {"vp", "--width", "12x"}, {"vp", "--status", "jammed"},
                                {"vp", "--status-sessions", "x"}};
  for (const auto& a : badValues) EXPECT_FALSE(vp::ParseOptions(3, a, &o, &help, &error)) << a[1];
}

TEST(Options, JobFilesAreNumberedOnlyWhenThereAreSeveral) {
  EXPECT_EQ("out.png", vp::JobPath("out.png", 1, 1));
  EXPECT_EQ("out-2.png", vp::JobPath("out.png", 2, 3));
  EXPECT_EQ("dir.d/raw-1", vp::JobPath("dir.d/raw", 1, 2));
  EXPECT_EQ("./.hidden-1", vp::JobPath("./.hidden", 1, 2));
}

TEST(Loopback, ListensOnlyOnLoopbackAndTakesAJobPerConnection) {
  vp::LoopbackListener listener;
  std::string error;
  ASSERT_TRUE(listener.Listen(0, &error)) << error;
  EXPECT_EQ("127.0.0.1", listener.Address());
  ASSERT_NE(0, listener.Port());

  const std::uint16_t port = listener.Port();
  auto send = [port](std::vector<std::uint8_t> bytes) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      (void)::send(s, bytes.data(), bytes.size(), 0);
    }
    ::close(s);
  };
  std::vector<std::uint8_t> big(200000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  std::thread sender([&] {
    send(big);
    send({0x1B, 0x40, 'h', 'i', 0x0A});
  });
  std::vector<std::uint8_t> job;
  bool truncated = true;
  ASSERT_TRUE(listener.AcceptJob(&job, 1u << 20, &truncated, &error)) << error;
  EXPECT_EQ(big, job);
  EXPECT_FALSE(truncated);
  ASSERT_TRUE(listener.AcceptJob(&job, 3, &truncated, &error)) << error;
  EXPECT_EQ((std::vector<std::uint8_t>{0x1B, 0x40, 'h'}), job);
  EXPECT_TRUE(truncated);
  sender.join();
}

TEST(Loopback, ReadsAJobFromAFile) {
  const std::string path = TempPath("job.bin");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  std::fputs("AB\n", f);
  std::fclose(f);
  std::vector<std::uint8_t> job;
  bool truncated = true;
  std::string error;
  ASSERT_TRUE(vp::ReadJobFile(path, &job, 100, &truncated, &error));
  EXPECT_EQ((std::vector<std::uint8_t>{'A', 'B', '\n'}), job);
  EXPECT_FALSE(truncated);
  std::remove(path.c_str());
  EXPECT_FALSE(vp::ReadJobFile(path, &job, 100, &truncated, &error));
}
