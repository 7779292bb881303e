#include <gtest/gtest.h>

#include <string>

#include "status.h"

namespace {

std::string Feed(vp::StatusResponder& r, const std::string& bytes) {
  return r.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

// The answers carry the bits the program reads, in every state.
TEST(StatusResponder, AnswersEachRequestInTheStateSet) {
  const std::string all("\x10\x04\x01\x10\x04\x02\x10\x04\x04", 9);
  const std::pair<const char*, std::string> cases[] = {
      {"online", "\x12\x12\x12"},     {"paper-end", "\x1A\x32\x7E"}, {"near-end", "\x12\x12\x1E"},
      {"cover-open", "\x1A\x16\x12"}, {"no-answer", ""},
  };
  for (const auto& [name, answers] : cases) {
    vp::PrinterState state;
    ASSERT_TRUE(vp::ParsePrinterState(name, &state)) << name;
    vp::StatusResponder r(state);
    EXPECT_EQ(answers, Feed(r, all)) << name;
    EXPECT_EQ(3, r.Requests()) << name;
    EXPECT_TRUE(r.OnlyRequests()) << name;
  }
  vp::PrinterState state;
  EXPECT_FALSE(vp::ParsePrinterState("jammed", &state));
}

// A request split between reads is still one request; one inside a page
// makes the connection a job, not a status session.
TEST(StatusResponder, FindsRequestsAcrossReadsAndTellsJobsFromStatusSessions) {
  vp::StatusResponder r(vp::PrinterState::CoverOpen);
  EXPECT_EQ("", Feed(r, std::string("\x10", 1)));
  EXPECT_EQ("", Feed(r, std::string("\x04", 1)));
  EXPECT_EQ("\x16", Feed(r, std::string("\x02", 1)));
  EXPECT_TRUE(r.OnlyRequests());

  r.Reset();
  EXPECT_EQ("\x1A", Feed(r, std::string("\x1B@page\x10\x10\x04\x01\n", 11)));
  EXPECT_EQ(1, r.Requests());
  EXPECT_FALSE(r.OnlyRequests());

  r.Reset();
  EXPECT_EQ("", Feed(r, std::string("\x10\x04\x09\x1B@", 5)));  // no such request
  EXPECT_EQ(0, r.Requests());
  EXPECT_FALSE(r.OnlyRequests());
}
