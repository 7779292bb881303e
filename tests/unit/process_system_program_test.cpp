#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "os/files.h"
#include "process/system_program.h"

namespace {

fake::Processes& table() { return fake::processes(); }

std::vector<std::string> ReadAll(ProgramOutput& output) {
  std::vector<std::string> lines;
  char line[ProgramOutput::kLineSize];
  while (output.ReadLine(line)) lines.push_back(line);
  return lines;
}

}  // namespace

// The line reaches the system folder's program as it is: no interpreter
// expands or splits it, and a program planted in the current folder is not run.
TEST(RunSystemProgram, StartsTheSystemFoldersProgramWithTheLineAsItIsAndReturnsItsExitStatus) {
  fake::files().AddFolder("C:\\Users\\me");
  fake::files().AddFile("C:\\Users\\me\\rundll32.exe", "planted");
  ASSERT_TRUE(os::SetCurrentDirectoryA("C:\\Users\\me"));
  table().systemDirectory = "D:\\WINNT\\system32";
  table().Respond("/dl /n \"x&calc&%PATH%\"", 1797);
  EXPECT_EQ(1797, RunSystemProgram("rundll32", "rundll32 printui.dll,PrintUIEntry /dl /n \"x&calc&%PATH%\""));
  EXPECT_EQ(0, RunSystemProgram("pnputil", "pnputil -f -d oem7.inf"));
  ASSERT_EQ(2u, table().launches.size());
  EXPECT_EQ("D:\\WINNT\\system32\\rundll32.exe", table().launches[0].application);
  EXPECT_EQ("D:\\WINNT\\system32\\rundll32.exe", table().launches[0].program);
  EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /dl /n \"x&calc&%PATH%\"", table().launches[0].commandLine);
  EXPECT_EQ("D:\\WINNT\\system32\\pnputil.exe", table().launches[1].application);
  EXPECT_EQ("pnputil -f -d oem7.inf", table().launches[1].commandLine);
  EXPECT_EQ(0, table().OpenHandles());
}

TEST(RunSystemProgram, AnswersMinusOneWhenNoStatusCanBeHad) {
  struct Case {
    const char* what;
    void (*arrange)();
    std::size_t launches;
  };
  const Case cases[] = {
      {"program missing", [] { fake::processes().CannotStart("pnputil.exe"); }, 1},
      {"start refused", [] { fake::Fail("CreateProcessA"); }, 1},
      {"no system folder", [] { fake::Fail("GetSystemDirectoryA"); }, 0},
      {"wait fails", [] { fake::Fail("WaitForSingleObject"); }, 1},
      {"exit code unreadable", [] { fake::Fail("GetExitCodeProcess"); }, 1},
  };
  for (const Case& c : cases) {
    fake::Reset();
    c.arrange();
    EXPECT_EQ(-1, RunSystemProgram("pnputil", "pnputil -e")) << c.what;
    EXPECT_EQ(c.launches, table().launches.size()) << c.what;
    EXPECT_EQ(0, table().OpenHandles()) << c.what;
  }
}

TEST(ProgramOutput, ReadsTextModeLinesThroughAPipeAndClosesWithTheExitStatus) {
  table().Respond("pnputil -e", 3,
                  "Microsoft PnP Utility\r\n\r\nPublished name :            oem12.inf\r\na\rb\r\nlast\r");
  table().pipeChunk = 22;  // the first read ends between "\r" and "\n": still one line end
  {
    ProgramOutput output("pnputil", "pnputil -e");
    ASSERT_TRUE(output.opened());
    EXPECT_EQ((std::vector<std::string>{"Microsoft PnP Utility\n", "\n", "Published name :            oem12.inf\n",
                                        "a\rb\n", "last\r"}),
              ReadAll(output));
    char line[ProgramOutput::kLineSize];
    EXPECT_FALSE(output.ReadLine(line));
    EXPECT_EQ(3, output.Close());
    EXPECT_EQ(-1, output.Close());
  }
  ASSERT_EQ(1u, table().launches.size());
  EXPECT_TRUE(table().launches[0].piped);
  EXPECT_EQ("C:\\Windows\\system32\\pnputil.exe", table().launches[0].application);
  EXPECT_EQ("pnputil -e", table().launches[0].commandLine);
  // Our copy of the write end is closed once the child has its own, so the
  // end of its output is seen rather than waited for.
  EXPECT_FALSE(table().readHung);
  EXPECT_EQ(0, table().OpenPipes());
  EXPECT_EQ(0, table().OpenHandles());
}

TEST(ProgramOutput, ALineLongerThanTheBufferArrivesInPieces) {
  const std::string longLine(1500, 'x');
  table().Respond("pnputil -e", 0, longLine + "\r\nnext\r\n");
  ProgramOutput output("pnputil", "pnputil -e");
  const std::vector<std::string> lines = ReadAll(output);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(std::string(1023, 'x'), lines[0]);
  EXPECT_EQ(std::string(477, 'x') + "\n", lines[1]);
  EXPECT_EQ("next\n", lines[2]);
}

TEST(ProgramOutput, AProgramThatCannotStartYieldsNoLinesAndTheDestructorClosesAnOpenPipe) {
  for (const char* failing : {"CreatePipe", "SetHandleInformation", "CreateProcessA"}) {
    fake::Reset();
    fake::Fail(failing);
    {
      ProgramOutput output("pnputil", "pnputil -e");
      EXPECT_FALSE(output.opened()) << failing;
      char line[ProgramOutput::kLineSize];
      EXPECT_FALSE(output.ReadLine(line)) << failing;
      EXPECT_EQ(-1, output.Close()) << failing;
    }
    EXPECT_EQ(0, table().OpenPipes()) << failing;
  }
  fake::Reset();
  table().Respond("pnputil -e", 0, "a\r\nb\r\n");
  {
    ProgramOutput output("pnputil", "pnputil -e");
    char line[ProgramOutput::kLineSize];
    EXPECT_TRUE(output.ReadLine(line));
    EXPECT_EQ(1, table().OpenPipes());
  }
  EXPECT_EQ(0, table().OpenPipes());
  EXPECT_EQ(0, table().OpenHandles());
}
