#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "spooler/command_interpreter.h"
#include "support/case_name.h"

namespace {

fake::Processes& table() { return fake::processes(); }

const char kComspec[] = "C:\\Windows\\system32\\cmd.exe";

std::vector<std::string> ReadAll(CommandOutput& output) {
  std::vector<std::string> lines;
  char line[CommandOutput::kLineSize];
  while (output.ReadLine(line)) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(RunCommand, RunsTheLineThroughTheInterpreterNamedByComspecAndReturnsItsExitStatus) {
  fake::files().SetEnv("COMSPEC", kComspec);
  table().Respond("/dl /n \"lumatrek80-usb\"", 0);
  table().Respond("/dl /n \"lumatrek58-usb\"", 1797);
  EXPECT_EQ(1797, RunCommand("rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-usb\""));
  EXPECT_EQ(0, RunCommand("rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek80-usb\""));
  ASSERT_EQ(2u, table().launches.size());
  const fake::Launch& first = table().launches[0];
  EXPECT_EQ(kComspec, first.application);
  EXPECT_EQ(kComspec, first.program);
  EXPECT_EQ("\"C:\\Windows\\system32\\cmd.exe\" /c rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-usb\"",
            first.commandLine);
  EXPECT_EQ(0, table().OpenHandles());
}

TEST(RunCommand, WithoutComspecRunsCmdFromTheSearchPath) {
  table().systemDirectory = "D:\\WINNT\\system32";
  table().Respond("pnputil -f -d oem7.inf", 2);
  EXPECT_EQ(2, RunCommand("pnputil -f -d oem7.inf"));
  ASSERT_EQ(1u, table().launches.size());
  EXPECT_EQ("", table().launches[0].application);
  EXPECT_EQ("cmd.exe /c pnputil -f -d oem7.inf", table().launches[0].commandLine);
  EXPECT_EQ("D:\\WINNT\\system32\\cmd.exe", table().launches[0].program);
  EXPECT_EQ(0, table().OpenHandles());
}

namespace {
struct NoStatus {
  const char* what;
  void (*arrange)();
};

class RunCommandWithoutStatus : public testing::TestWithParam<NoStatus> {};
}  // namespace

TEST_P(RunCommandWithoutStatus, AnswersMinusOne) {
  fake::files().SetEnv("COMSPEC", kComspec);
  GetParam().arrange();
  EXPECT_EQ(-1, RunCommand("pnputil -e"));
  EXPECT_EQ(0, table().OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(EachStep, RunCommandWithoutStatus,
                         testing::Values(NoStatus{"interpreter missing", [] { fake::processes().CannotStart("cmd.exe"); }},
                                         NoStatus{"start refused", [] { fake::Fail("CreateProcessA"); }},
                                         NoStatus{"wait fails", [] { fake::Fail("WaitForSingleObject"); }},
                                         NoStatus{"exit code unreadable", [] { fake::Fail("GetExitCodeProcess"); }}),
                         NameByWhat());

TEST(CommandOutput, ReadsTextModeLinesWithTheirNewlinesAndClosesWithTheExitStatus) {
  fake::files().SetEnv("COMSPEC", kComspec);
  table().Respond("pnputil -e", 3, "Microsoft PnP Utility\r\n\r\nPublished name :            oem12.inf\r\nlast");
  {
    CommandOutput output("pnputil -e");
    ASSERT_TRUE(output.opened());
    EXPECT_EQ((std::vector<std::string>{"Microsoft PnP Utility\n", "\n", "Published name :            oem12.inf\n",
                                        "last"}),
              ReadAll(output));
    char line[CommandOutput::kLineSize];
    EXPECT_FALSE(output.ReadLine(line));
    EXPECT_EQ(3, output.Close());
    EXPECT_EQ(-1, output.Close());
  }
  ASSERT_EQ(1u, table().launches.size());
  EXPECT_TRUE(table().launches[0].piped);
  EXPECT_EQ(kComspec, table().launches[0].program);
  EXPECT_EQ(0, table().OpenPipes());
}

TEST(CommandOutput, ALineLongerThanTheBufferArrivesInPieces) {
  const std::string longLine(1500, 'x');
  table().Respond("pnputil -e", 0, longLine + "\r\nnext\r\n");
  CommandOutput output("pnputil -e");
  const std::vector<std::string> lines = ReadAll(output);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(std::string(1023, 'x'), lines[0]);
  EXPECT_EQ(std::string(477, 'x') + "\n", lines[1]);
  EXPECT_EQ("next\n", lines[2]);
}

TEST(CommandOutput, ACommandThatCannotStartYieldsNoLinesAndTheDestructorClosesAnOpenPipe) {
  table().CannotStart("cmd.exe");
  {
    CommandOutput output("pnputil -e");
    EXPECT_FALSE(output.opened());
    char line[CommandOutput::kLineSize];
    EXPECT_FALSE(output.ReadLine(line));
    EXPECT_EQ(-1, output.Close());
  }
  fake::Reset();
  table().Respond("pnputil -e", 0, "a\r\nb\r\n");
  {
    CommandOutput output("pnputil -e");
    char line[CommandOutput::kLineSize];
    EXPECT_TRUE(output.ReadLine(line));
    EXPECT_EQ(1, table().OpenPipes());
  }
  EXPECT_EQ(0, table().OpenPipes());
}
