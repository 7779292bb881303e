#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "port_list/usb_port_list.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_spooler.h"
#include "support/case_name.h"
#include "support/fake_port_list.h"
#include "support/recording_sink.h"

namespace {

void SetPorts(std::initializer_list<const char*> names) {
  for (const char* n : names) fake::spooler().ports.push_back({n});
}

const ShownMessage kEnumFailed{"\xC3\xB6\xBE\xD9\xB6\xCB\xBF\xDA\xCA\xA7\xB0\xDC", "\xB4\xED\xCE\xF3"};
const ShownMessage kAllocFailed{"\xC9\xEA\xC7\xEB\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC", "\xB4\xED\xCE\xF3"};

}  // namespace

TEST(FillUsbPortList, ListsUsbPortsSortedAndSelectsTheFirst) {
  SetPorts({"LPT1:", "USB002", "COM1:", "USB001"});
  FakePortList list;
  RecordingSink sink;
  EXPECT_TRUE(FillUsbPortList(list, &sink));
  EXPECT_EQ((std::vector<std::string>{"USB001", "USB002"}), list.items);
  EXPECT_EQ("USB001", list.SelectedText());
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(0, fake::LiveBlocks());
}

TEST(FillUsbPortList, MatchesUsbWithExactCaseAnywhereInTheName) {
  SetPorts({"usb003", "Usb004", "VIRTUALUSB9", "DOT4_USB"});
  FakePortList list;
  EXPECT_TRUE(FillUsbPortList(list, nullptr));
  EXPECT_EQ((std::vector<std::string>{"DOT4_USB", "VIRTUALUSB9"}), list.items);
}

TEST(FillUsbPortList, PortsButNoUsbPortLeaveTheListEmptyWithoutMessage) {
  SetPorts({"LPT1:", "FILE:"});
  FakePortList list;
  RecordingSink sink;
  EXPECT_TRUE(FillUsbPortList(list, &sink));
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(-1, list.selection);
  EXPECT_TRUE(sink.shown.empty());
}

namespace {
struct FillFailure {
  const char* what;
  std::function<void()> arrange;
  ShownMessage message;
};

class FillUsbPortListFailure : public testing::TestWithParam<std::tuple<FillFailure, bool>> {};
}  // namespace

TEST_P(FillUsbPortListFailure, IsReportedOnlyWhenAsked) {
  const FillFailure& c = std::get<0>(GetParam());
  const bool reporting = std::get<1>(GetParam());
  c.arrange();
  FakePortList list;
  RecordingSink sink;
  EXPECT_FALSE(FillUsbPortList(list, reporting ? &sink : nullptr));
  EXPECT_TRUE(list.items.empty());
  if (reporting) {
    EXPECT_EQ(std::vector<ShownMessage>{c.message}, sink.shown);
  }
  EXPECT_EQ(0, fake::LiveBlocks());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FillUsbPortListFailure,
    testing::Combine(
        testing::Values(
            FillFailure{"no ports at all: the sizing call succeeds", [] {}, kEnumFailed},
            FillFailure{"buffer cannot be allocated", [] { SetPorts({"USB001"}); fake::Fail("malloc"); }, kAllocFailed},
            FillFailure{"the filling call fails", [] { SetPorts({"USB001"}); fake::FailNth("EnumPortsA", 2); },
                        kEnumFailed}),
        testing::Bool()),
    [](const testing::TestParamInfo<std::tuple<FillFailure, bool>>& param) {
      return CaseName(std::get<0>(param.param).what) + (std::get<1>(param.param) ? "Reported" : "Silent");
    });

TEST(OnUsbPortDropDown, RefetchesTheListAndSelectsItemZeroAgain) {
  SetPorts({"USB001", "USB002"});
  FakePortList list;
  RecordingSink sink;
  FillUsbPortList(list, nullptr);
  list.SetCurSel(1);
  fake::spooler().ports.push_back({"USB003"});
  OnUsbPortDropDown(list, sink);
  EXPECT_EQ((std::vector<std::string>{"USB001", "USB002", "USB003"}), list.items);
  EXPECT_EQ(0, list.selection);
  EXPECT_TRUE(sink.shown.empty());
}

TEST(OnUsbPortDropDown, WithTheSpoolerStoppedShowsTheMessageAndLeavesTheListEmpty) {
  SetPorts({"USB001"});
  FakePortList list;
  RecordingSink sink;
  FillUsbPortList(list, nullptr);
  fake::FailNth("EnumPortsA", 2 + 2);  // the second call of the refill
  OnUsbPortDropDown(list, sink);
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(std::vector<ShownMessage>{kEnumFailed}, sink.shown);
}
