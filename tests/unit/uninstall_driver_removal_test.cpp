#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "fake_os/fake_services.h"
#include "fake_os/fake_spooler.h"
#include "fake_os/fake_system_info.h"
#include "os/services.h"
#include "os/spooler.h"
#include "support/case_name.h"
#include "uninstall/driver_removal.h"
#include "uninstall/spooler_lists.h"

namespace {

fake::Spooler& spooler() { return fake::spooler(); }

// A running spooler, and a printer UI whose "/dl" command removes the printer.
void Arrange() {
  fake::services().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  spooler().AnswerRemovalCommands();
}

// What the operation did to the system, in the order it happened: jobs
// deleted, commands run, drivers deleted, spooler stops and starts.
std::vector<std::string> Story() {
  std::vector<std::string> story;
  std::size_t job = 0, launch = 0, driver = 0;
  const auto& launches = fake::processes().launches;
  for (const std::string& call : fake::Calls()) {
    if (call == "SetJobA" && job < spooler().jobControls.size()) {
      story.push_back("job " + std::to_string(spooler().jobControls[job++].jobId));
    } else if (call == "CreateProcessA" && launch < launches.size()) {
      story.push_back("run " + launches[launch++].commandLine);
    } else if (call == "DeletePrinterDriverA" && driver < spooler().deletedDrivers.size()) {
      story.push_back("delete " + spooler().deletedDrivers[driver++]);
    } else if (call == "ControlService") {
      story.push_back("stop");
    } else if (call == "StartServiceA") {
      story.push_back("start");
    }
  }
  return story;
}

std::vector<std::string> PrinterNames() {
  std::vector<std::string> names;
  for (const auto& p : spooler().printers) names.push_back(p.name);
  return names;
}

os::DRIVER_INFO_3A Record(const char* name) {
  os::DRIVER_INFO_3A record{};
  record.pName = const_cast<char*>(name);
  return record;
}

void ExpectEverythingReleased() {
  EXPECT_EQ(0, spooler().OpenHandles());
  EXPECT_EQ(0, spooler().badCloses);
  EXPECT_EQ(0, fake::LiveBlocks());
  EXPECT_EQ(0, fake::processes().OpenHandles());
}

}  // namespace

TEST(RemoveDriver, MatchesOnlyTheExactNameWithCaseCountingAndTouchesNothingElse) {
  Arrange();
  spooler().AddDriver("lumatrek80");
  spooler().AddDriver("Lumatrek");
  spooler().AddDriver("lumatrek ");
  spooler().AddPrinter("lumatrek80-usb", "lumatrek80", 2);

  EXPECT_EQ(1, RemoveDriver("lumatrek"));
  EXPECT_TRUE(Story().empty());
  EXPECT_EQ(3u, spooler().drivers.size());
  EXPECT_EQ(std::vector<std::string>{"lumatrek80-usb"}, PrinterNames());
  EXPECT_EQ(0, fake::CallCount("EnumPrintersA"));
  ExpectEverythingReleased();
}

TEST(RemoveDriver, DeletesTheJobsThenRemovesEachPrinterInListOrderThenTheDriverThenRestartsTheSpooler) {
  Arrange();
  spooler().AddDriver("Generic / Text Only");
  spooler().AddDriver("lumatrek");
  spooler().AddPrinter("lumatrek58-usb", "lumatrek", 0);
  spooler().AddPrinter("Office", "Generic / Text Only", 1);
  spooler().AddPrinter("lumatrek58-wifi", "lumatrek", 3);  // jobs 8, 9, 10

  EXPECT_EQ(1, RemoveDriver("lumatrek"));
  const std::vector<std::string> expected = {
      "run rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-usb\"",
      "job 8",
      "job 9",
      "job 10",
      "run rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-wifi\"",
      "delete lumatrek",
      "stop",
      "start",
  };
  EXPECT_EQ(expected, Story());
  EXPECT_EQ(std::vector<std::string>{"Office"}, PrinterNames());
  EXPECT_EQ(1u, spooler().FindPrinter("Office")->jobs.size());
  EXPECT_FALSE(spooler().HasDriver("lumatrek"));
  EXPECT_TRUE(spooler().HasDriver("Generic / Text Only"));
  for (const fake::JobControl& c : spooler().jobControls) EXPECT_EQ(os::JOB_CONTROL_DELETE, c.command);
  for (std::uint32_t access : spooler().openAccess) EXPECT_EQ(0xF000Cu, access);
  EXPECT_EQ(os::SERVICE_RUNNING, fake::services().StateOf("Spooler"));
  ExpectEverythingReleased();
}

TEST(RemoveDriver, HandlesEachRecordOfADriverListedTwiceWithARestartAfterEach) {
  Arrange();
  spooler().AddDriver("lumatrek80").environment = "Windows x64";
  spooler().AddDriver("lumatrek80").environment = "Windows NT x86";
  spooler().AddPrinter("lumatrek80-wifi", "lumatrek80");

  EXPECT_EQ(1, RemoveDriver("lumatrek80"));
  const std::vector<std::string> expected = {
      "run rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek80-wifi\"",
      "delete lumatrek80", "stop", "start", "delete lumatrek80", "stop", "start",
  };
  EXPECT_EQ(expected, Story());
  EXPECT_TRUE(spooler().drivers.empty());
  // The driver list is read once, before the first restart.
  EXPECT_LT(fake::LastCall("EnumPrinterDriversA"), fake::FirstCall("ControlService"));
  ExpectEverythingReleased();
}

namespace {
struct VersionCase {
  std::uint32_t version;
  std::uint32_t command;
};

class RemoveDriverOnVersion : public testing::TestWithParam<VersionCase> {};
}  // namespace

TEST_P(RemoveDriverOnVersion, CancelsRatherThanDeletesJobsWhereTheVersionByteHasBit7Set) {
  Arrange();
  fake::systemInfo().version = GetParam().version;
  spooler().AddDriver("lumatrek");
  spooler().AddPrinter("lumatrek58-usb", "lumatrek", 2);
  EXPECT_EQ(1, RemoveDriver("lumatrek"));
  ASSERT_EQ(2u, spooler().jobControls.size());
  EXPECT_EQ(GetParam().command, spooler().jobControls[0].command);
  EXPECT_EQ(GetParam().command, spooler().jobControls[1].command);
}

INSTANTIATE_TEST_SUITE_P(Versions, RemoveDriverOnVersion,
                         testing::Values(VersionCase{0x23F00206, os::JOB_CONTROL_DELETE},  // 6.2
                                         // the high bit of the word is not the one
                                         VersionCase{0x80000004, os::JOB_CONTROL_DELETE},
                                         VersionCase{0x00000086, os::JOB_CONTROL_CANCEL}));

TEST(RemoveDriver, StartsADownSpoolerFirstAndGoesOnWhateverTheOutcome) {
  fake::services().AddSpoolerWithPrerequisites(os::SERVICE_STOPPED);
  fake::services().Find("Spooler")->refusesStart = true;
  spooler().AddDriver("Generic / Text Only");
  EXPECT_EQ(1, RemoveDriver("lumatrek"));
  ASSERT_NE(-1, fake::FirstCall("StartServiceA"));
  EXPECT_LT(fake::FirstCall("StartServiceA"), fake::FirstCall("EnumPrinterDriversA"));
}

namespace {
class RemoveDriverRestart : public testing::TestWithParam<bool> {};
}  // namespace

TEST_P(RemoveDriverRestart, FailsWhenTheSpoolerCannotBeRestartedAfterTheDriverIsDeleted) {
  const bool refuseStop = GetParam();
  Arrange();
  spooler().AddDriver("lumatrek");
  spooler().AddDriver("lumatrek");
  (refuseStop ? fake::services().Find("Spooler")->refusesStop : fake::services().Find("Spooler")->refusesStart) =
      true;
  EXPECT_EQ(0, RemoveDriver("lumatrek"));
  // The second record is not reached.
  EXPECT_EQ(std::vector<std::string>{"lumatrek"}, spooler().deletedDrivers);
  if (refuseStop) {
    EXPECT_EQ(0, fake::CallCount("StartServiceA"));
  }
  ExpectEverythingReleased();
}

INSTANTIATE_TEST_SUITE_P(StopOrStartRefused, RemoveDriverRestart, testing::Bool());

TEST(RemoveDriver, StopsAtAFailedPrinterRemovalAndKeepsTheDriver) {
  Arrange();
  spooler().AddDriver("lumatrek");
  spooler().AddPrinter("lumatrek58-usb", "lumatrek");
  spooler().AddPrinter("lumatrek58-wifi", "lumatrek");
  fake::processes().Respond("/dl /n \"lumatrek58-usb\"", 1);

  EXPECT_EQ(0, RemoveDriver("lumatrek"));
  EXPECT_EQ(std::vector<std::string>{"run rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-usb\""}, Story());
  EXPECT_TRUE(spooler().HasDriver("lumatrek"));
  ExpectEverythingReleased();
}

TEST(RemoveDriver, FailsWhenTheDriverCannotBeDeleted) {
  Arrange();
  spooler().AddDriver("lumatrek");
  fake::Fail("DeletePrinterDriverA");
  EXPECT_EQ(0, RemoveDriver("lumatrek"));
  EXPECT_EQ(0, fake::CallCount("ControlService"));
  ExpectEverythingReleased();
}

namespace {
struct FailingStep {
  const char* what;
  const char* failing;
  int nth;
};

class RemovePrintersOfDriverFailure : public testing::TestWithParam<FailingStep> {};
}  // namespace

TEST_P(RemovePrintersOfDriverFailure, EndsItWithTheHandleClosedAndNoRemovalCommand) {
  Arrange();
  spooler().AddPrinter("lumatrek58-usb", "lumatrek", 3);
  fake::FailNth(GetParam().failing, GetParam().nth);
  EXPECT_EQ(0, RemovePrintersOfDriver(Record("lumatrek")));
  EXPECT_TRUE(fake::processes().launches.empty());
  EXPECT_NE(nullptr, spooler().FindPrinter("lumatrek58-usb"));
  EXPECT_EQ(0, spooler().OpenHandles());
  EXPECT_EQ(0, fake::LiveBlocks());
}

INSTANTIATE_TEST_SUITE_P(EachStep, RemovePrintersOfDriverFailure,
                         testing::Values(FailingStep{"printer cannot be opened", "OpenPrinterA", 1},
                                         FailingStep{"job sizing call", "EnumJobsA", 1},
                                         FailingStep{"job filling call", "EnumJobsA", 2},
                                         FailingStep{"no memory for the jobs", "malloc", 2},
                                         FailingStep{"a job cannot be deleted", "SetJobA", 2}),
                         NameByWhat());

TEST(RemovePrintersOfDriver, SucceedsWithNoPrintersAtAllAndFailsWhenThePrintersCannotBeListed) {
  Arrange();
  EXPECT_EQ(1, RemovePrintersOfDriver(Record("lumatrek")));
  EXPECT_EQ(0, fake::LiveBlocks());

  spooler().AddPrinter("lumatrek58-usb", "lumatrek");
  fake::FailNth("EnumPrintersA", 3);  // the sizing call of the second run
  EXPECT_EQ(0, RemovePrintersOfDriver(Record("lumatrek")));
  EXPECT_TRUE(fake::processes().launches.empty());
}

// The removal command starts the system folder's rundll32 with the name in
// quotes; a name that would not arrive intact there is deleted through the
// spooler instead, and one the spooler will not delete is a failure.
TEST(RemovePrintersOfDriver, RemovesNamesThatCannotBeQuotedThroughTheSpooler) {
  Arrange();
  // A lone lead byte would take the closing quote as its trail byte; a trail
  // byte 0x5C is no backslash.
  const std::vector<std::string> names = {"x\"&calc&\"", "back\\", "tab\tname", "lone\x95", "x&calc&%PATH%",
                                          "gbk\x95\x5C"};
  for (const std::string& name : names) spooler().AddPrinter(name, "lumatrek");
  EXPECT_EQ(1, RemovePrintersOfDriver(Record("lumatrek")));
  EXPECT_EQ((std::vector<std::string>{"x\"&calc&\"", "back\\", "tab\tname", "lone\x95"}), spooler().deletedPrinters);
  ASSERT_EQ(2u, fake::processes().launches.size());
  EXPECT_EQ("C:\\Windows\\system32\\rundll32.exe", fake::processes().launches[0].application);
  EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /dl /n \"x&calc&%PATH%\"", fake::processes().launches[0].commandLine);
  EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /dl /n \"gbk\x95\x5C\"", fake::processes().launches[1].commandLine);
  EXPECT_TRUE(PrinterNames().empty());
  ExpectEverythingReleased();

  spooler().AddPrinter("q\"q", "lumatrek");
  fake::Fail("DeletePrinter");
  EXPECT_EQ(0, RemovePrintersOfDriver(Record("lumatrek")));
  EXPECT_EQ(std::vector<std::string>{"q\"q"}, PrinterNames());
  EXPECT_EQ(0, spooler().OpenHandles());
}
