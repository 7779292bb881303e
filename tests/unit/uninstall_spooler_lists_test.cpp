#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_os/fake_os.h"
#include "fake_os/fake_spooler.h"
#include "os/spooler.h"
#include "support/case_name.h"
#include "uninstall/spooler_lists.h"

namespace {

fake::Spooler& spooler() { return fake::spooler(); }

os::HANDLE Open(const char* name) {
  os::HANDLE h = nullptr;
  os::PRINTER_DEFAULTSA defaults{nullptr, nullptr, os::PRINTER_ALL_ACCESS};
  EXPECT_TRUE(os::OpenPrinterA(const_cast<char*>(name), &h, &defaults));
  return h;
}

}  // namespace

TEST(ListPrinters, AnEmptySpoolerGivesAListOfNoPrintersButASizingErrorGivesNothing) {
  {
    auto printers = ListPrinters();
    EXPECT_TRUE(printers);
    EXPECT_EQ(0u, printers.count());
  }
  EXPECT_EQ(0, fake::LiveBlocks());

  spooler().AddPrinter("lumatrek58-usb", "lumatrek");
  fake::FailNth("EnumPrintersA", 3);  // the next sizing call: the spooler is down
  const int allocations = fake::CallCount("malloc");
  EXPECT_FALSE(ListPrinters());
  EXPECT_EQ(allocations, fake::CallCount("malloc"));
}

TEST(ListPrinters, ReadsEveryPrinterWithItsDriverAndJobCount) {
  spooler().AddPrinter("lumatrek58-usb", "lumatrek", 2);
  spooler().AddPrinter("Office", "Generic / Text Only");
  auto printers = ListPrinters();
  ASSERT_TRUE(printers);
  ASSERT_EQ(2u, printers.count());
  EXPECT_STREQ("lumatrek58-usb", printers.begin()[0].pPrinterName);
  EXPECT_STREQ("lumatrek", printers.begin()[0].pDriverName);
  EXPECT_EQ(2u, printers.begin()[0].cJobs);
  EXPECT_STREQ("Generic / Text Only", printers.begin()[1].pDriverName);
  EXPECT_EQ(0u, printers.begin()[1].cJobs);
}

TEST(ListPrinterDrivers, ListsTheDriversAndTakesNoDriverAsAnEmptyList) {
  // No driver installed: the sizing call succeeds, which is an empty list,
  // and an error left over from an earlier call is not taken for its answer.
  os::SetLastError(os::ERROR_INSUFFICIENT_BUFFER);
  {
    auto none = ListPrinterDrivers();
    ASSERT_TRUE(none);
    EXPECT_EQ(0u, none.count());
  }

  spooler().AddDriver("lumatrek");
  spooler().AddDriver("lumatrek80");
  {
    auto drivers = ListPrinterDrivers();
    ASSERT_TRUE(drivers);
    ASSERT_EQ(2u, drivers.count());
    EXPECT_STREQ("lumatrek80", drivers.begin()[1].pName);
  }
}

namespace {
struct FailingCall {
  const char* what;
  const char* failing;
  int nth;
};

class ListPrinterDriversFailure : public testing::TestWithParam<FailingCall> {};
}  // namespace

TEST_P(ListPrinterDriversFailure, GivesNothingAndFreesEverything) {
  spooler().AddDriver("lumatrek");
  fake::FailNth(GetParam().failing, GetParam().nth);
  EXPECT_FALSE(ListPrinterDrivers());
  EXPECT_EQ(0, fake::LiveBlocks());
}

INSTANTIATE_TEST_SUITE_P(EachStep, ListPrinterDriversFailure,
                         testing::Values(FailingCall{"sizing call fails with another error", "EnumPrinterDriversA", 1},
                                         FailingCall{"filling call fails", "EnumPrinterDriversA", 2},
                                         FailingCall{"no memory", "malloc", 1}),
                         NameByWhat());

TEST(ListJobs, ReadsAtMostTheGivenNumberOfJobsFromTheFirst) {
  spooler().AddPrinter("lumatrek58-usb", "lumatrek", 3);  // jobs 7, 8, 9
  os::HANDLE h = Open("lumatrek58-usb");
  {
    auto jobs = ListJobs(h, 2);
    ASSERT_TRUE(jobs);
    ASSERT_EQ(2u, jobs.count());
    EXPECT_EQ(7u, jobs.begin()[0].JobId);
    EXPECT_EQ(8u, jobs.begin()[1].JobId);
  }
  // The queue emptied since the printer was listed: the sizing call succeeds, which gives nothing.
  spooler().FindPrinter("lumatrek58-usb")->jobs.clear();
  EXPECT_FALSE(ListJobs(h, 3));
  os::ClosePrinter(h);
  EXPECT_EQ(0, fake::LiveBlocks());
}

TEST(SpoolerList, MovingHandsOverTheBlockSoItIsFreedOnce) {
  spooler().AddDriver("lumatrek");
  auto first = ListPrinterDrivers();
  auto second = ListPrinterDrivers();
  EXPECT_EQ(2, fake::LiveBlocks());
  first = std::move(second);
  EXPECT_EQ(1, fake::LiveBlocks());
  EXPECT_TRUE(first);
  EXPECT_EQ(1u, first.count());
}
