#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_os/fake_os.h"
#include "testprint/job_buffer.h"

namespace {

// "1B 40 0A" -> the three bytes.
std::string Hex(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0';) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    out.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
    p += 2;
  }
  return out;
}

std::string Contents(const PrintJobBuffer& b) {
  return std::string(reinterpret_cast<const char*>(b.data()), static_cast<std::size_t>(b.length()));
}

struct Buffer {
  PrintJobBuffer b = *PrintJobBuffer::Create();
};

}  // namespace

TEST(JobBuffer, StartsWithOneStepAndReleasesItsBlockOnce) {
  {
    std::optional<PrintJobBuffer> b = PrintJobBuffer::Create();
    ASSERT_TRUE(b);
    EXPECT_NE(nullptr, b->data());
    EXPECT_EQ(0, b->length());
    EXPECT_EQ(1024000, b->capacity());
    EXPECT_EQ(1, fake::LiveBlocks());
    AppendLineFeed(&*b);
    // Moving hands the block over: the source is left with none, all zero.
    PrintJobBuffer moved = std::move(*b);
    EXPECT_EQ(nullptr, b->data());
    EXPECT_EQ(0, b->length());
    EXPECT_EQ(0, b->capacity());
    EXPECT_EQ(1, moved.length());
    EXPECT_EQ(1, fake::LiveBlocks());
    moved = std::move(moved);  // onto itself: kept
    EXPECT_EQ(Hex("0A"), Contents(moved));
  }
  EXPECT_EQ(0, fake::LiveBlocks());
}

TEST(JobBuffer, EmittersProduceTheirCommandBytes) {
  Buffer buf;
  AppendInitialize(&buf.b);
  AppendAlignment(&buf.b, 1);
  AppendLineSpacing(&buf.b, 0);
  AppendFeedDots(&buf.b, 200);
  AppendEscCommand(&buf.b, 0x6D);
  AppendLineFeed(&buf.b);
  AppendTextLine(&buf.b, "English character display");
  AppendTextLine(&buf.b, "");
  AppendTextLine(&buf.b, "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Hex("1B 40 1B 61 01 1B 33 00 1B 4A C8 1B 6D 0A"
                "45 6E 67 6C 69 73 68 20 63 68 61 72 61 63 74 65 72 20 64 69 73 70 6C 61 79 0A"
                "0A D6 D0 CE C4 0A"),
            Contents(buf.b));
  EXPECT_EQ(14 + 26 + 1 + 5, buf.b.length());
}

TEST(JobBuffer, AppendBytesRefusesNullBytesAndZeroCount) {
  Buffer buf;
  AppendLineFeed(&buf.b);
  const unsigned char byte = 0x41;
  EXPECT_FALSE(AppendBytes(&buf.b, nullptr, 3));
  EXPECT_FALSE(AppendBytes(&buf.b, &byte, 0));
  EXPECT_FALSE(AppendBytes(nullptr, &byte, 1));
  EXPECT_EQ(1, buf.b.length());
  // Raw bytes, NULs included, go in as they are.
  const unsigned char raw[] = {0x00, 0x41, 0x00};
  EXPECT_TRUE(AppendBytes(&buf.b, raw, 3));
  EXPECT_EQ(Hex("0A 00 41 00"), Contents(buf.b));
}

TEST(JobBuffer, AFailedAllocationGivesNoBufferAndAMovedFromOneIgnoresEveryAppend) {
  fake::Fail("malloc");
  EXPECT_FALSE(PrintJobBuffer::Create());
  fake::Reset();

  PrintJobBuffer source = *PrintJobBuffer::Create();
  const PrintJobBuffer taker = std::move(source);
  const unsigned char byte = 0x41;
  EXPECT_FALSE(AppendBytes(&source, &byte, 1));
  AppendTextLine(&source, "abc");
  AppendInitialize(&source);
  AppendAlignment(&source, 2);
  AppendFeedDots(&source, 1);
  AppendEscCommand(&source, 0x6D);
  EXPECT_EQ(nullptr, source.data());
  EXPECT_EQ(0, source.length());
  EXPECT_EQ(0, source.capacity());
  EXPECT_EQ(0, taker.length());
}

TEST(JobBuffer, FillingTheBlockExactlyDoesNotGrowItButOneMoreByteDoes) {
  Buffer buf;
  std::vector<unsigned char> fill(1024000 - 1, 0x55);
  fill[0] = 0x11;
  ASSERT_TRUE(AppendBytes(&buf.b, fill.data(), static_cast<std::uint32_t>(fill.size())));
  AppendLineFeed(&buf.b);
  EXPECT_EQ(1024000, buf.b.length());
  EXPECT_EQ(1024000, buf.b.capacity());
  EXPECT_EQ(1, fake::CallCount("malloc"));

  AppendEscCommand(&buf.b, 0x6D);
  EXPECT_EQ(1024002, buf.b.length());
  EXPECT_EQ(2048000, buf.b.capacity());
  EXPECT_EQ(2, fake::CallCount("malloc"));
  EXPECT_EQ(1, fake::LiveBlocks());  // the old block was released
  EXPECT_EQ(0x11, buf.b.data()[0]);
  EXPECT_EQ(0x55, buf.b.data()[1023998]);
  EXPECT_EQ(0x0A, buf.b.data()[1023999]);
  EXPECT_EQ(0x1B, buf.b.data()[1024000]);
  EXPECT_EQ(0x6D, buf.b.data()[1024001]);
}

TEST(JobBuffer, FailedGrowthDropsOnlyThatAppend) {
  Buffer buf;
  std::vector<unsigned char> fill(1024000, 0x55);
  ASSERT_TRUE(AppendBytes(&buf.b, fill.data(), static_cast<std::uint32_t>(fill.size())));
  const unsigned char* const before = buf.b.data();
  // The ESC of ESC a 2 cannot grow the block; the next two appends can.
  fake::FailNth("malloc", 2);
  AppendAlignment(&buf.b, 2);
  EXPECT_NE(before, buf.b.data());
  EXPECT_EQ(1024002, buf.b.length());
  EXPECT_EQ(2048000, buf.b.capacity());
  EXPECT_EQ(0x55, buf.b.data()[1023999]);
  EXPECT_EQ(0x61, buf.b.data()[1024000]);
  EXPECT_EQ(0x02, buf.b.data()[1024001]);
  EXPECT_EQ(1, fake::LiveBlocks());
}

TEST(JobBuffer, OneAppendLargerThanAStepGrowsByAsManyStepsAsItNeeds) {
  Buffer buf;
  AppendLineFeed(&buf.b);
  std::vector<unsigned char> big(2 * 1024000 + 5, 0x77);
  big.back() = 0x99;
  ASSERT_TRUE(AppendBytes(&buf.b, big.data(), static_cast<std::uint32_t>(big.size())));
  EXPECT_EQ(3 * 1024000, buf.b.capacity());
  EXPECT_EQ(2 * 1024000 + 6, buf.b.length());
  EXPECT_EQ(0x0A, buf.b.data()[0]);
  EXPECT_EQ(0x99, buf.b.data()[buf.b.length() - 1]);
  EXPECT_EQ(2, fake::CallCount("malloc"));  // a single reallocation
}

TEST(JobBuffer, AnAppendBeyondWhatTheLengthCanCountIsRefusedWithoutReading) {
  Buffer buf;
  AppendLineFeed(&buf.b);
  const unsigned char byte = 0x41;
  // The count is never trusted to match the bytes: the size check comes first,
  // so nothing is read past `byte` (AddressSanitizer would see it).
  EXPECT_FALSE(AppendBytes(&buf.b, &byte, 0xFFFFFFFFu));
  EXPECT_FALSE(AppendBytes(&buf.b, &byte, 0x80000000u));
  EXPECT_EQ(1, buf.b.length());
  EXPECT_EQ(1024000, buf.b.capacity());
  EXPECT_EQ(1, fake::CallCount("malloc"));
}
