#include <gtest/gtest.h>

#include <string>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "process/launch_process.h"
#include "os/processes.h"

namespace {

const char kPayload[] = "C:\\ProgramData\\Tovlan\\lumatrek\\install\\";
const char kArguments[] =
    "printui.dll,PrintUIEntry /if /f \"C:\\ProgramData\\Tovlan\\lumatrek\\install\\lumatrek.inf\" /r \"USB001\" "
    "/m \"lumatrek\" /b \"lumatrek58-usb\"";

fake::Processes& table() { return fake::processes(); }

class LaunchProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::files().AddFolder(kPayload);
    fake::files().AddFolder("C:\\Users\\me");
    ASSERT_TRUE(os::SetCurrentDirectoryA("C:\\Users\\me"));
  }
};

}  // namespace

TEST_F(LaunchProcessTest, StartsTheSystemsRundll32InTheFolderAndHandsBackTheProcess) {
  // A program of the same name in the payload folder is never the one started.
  fake::files().AddFile(std::string(kPayload) + "rundll32.exe", "planted");
  table().Respond("/b \"lumatrek58-usb\"", 5);
  os::HANDLE process = LaunchProcess("rundll32", kArguments, kPayload, 5);
  ASSERT_NE(nullptr, process);
  ASSERT_EQ(1u, table().launches.size());
  const fake::Launch& launch = table().launches[0];
  EXPECT_EQ("C:\\Windows\\system32\\rundll32.exe", launch.application);
  EXPECT_EQ("C:\\Windows\\system32\\rundll32.exe", launch.program);
  EXPECT_EQ(std::string("rundll32 ") + kArguments, launch.commandLine);
  EXPECT_EQ(kPayload, launch.currentDirectory);
  EXPECT_EQ(5, launch.showWindow);
  EXPECT_EQ("C:\\Users\\me", fake::files().CurrentDirectory());

  // The handle is the process's (its exit code), the thread's is already closed.
  EXPECT_EQ(1, table().OpenHandles());
  EXPECT_EQ(os::WAIT_OBJECT_0, os::WaitForSingleObject(process, os::INFINITE));
  os::DWORD code = 0;
  EXPECT_TRUE(os::GetExitCodeProcess(process, &code));
  EXPECT_EQ(5u, code);
  EXPECT_TRUE(os::CloseHandle(process));
  EXPECT_EQ(0, table().OpenHandles());
}

namespace {
class LaunchProcessWithoutArguments : public LaunchProcessTest, public testing::WithParamInterface<const char*> {};
}  // namespace

TEST_P(LaunchProcessWithoutArguments, TheCommandLineIsTheProgramAlone) {
  os::HANDLE process = LaunchProcess("rundll32", GetParam(), kPayload, 5);
  ASSERT_NE(nullptr, process);
  os::CloseHandle(process);
  ASSERT_EQ(1u, table().launches.size());
  EXPECT_EQ("rundll32", table().launches[0].commandLine);
}

INSTANTIATE_TEST_SUITE_P(NullOrEmpty, LaunchProcessWithoutArguments,
                         testing::Values(static_cast<const char*>(nullptr), ""));

TEST_F(LaunchProcessTest, AMissingFolderLeavesTheCurrentFolderAloneAndYieldsNoHandle) {
  const std::string missing = "C:\\ProgramData\\Tovlan\\lumatrek\\gone\\";
  EXPECT_EQ(nullptr, LaunchProcess("rundll32", kArguments, missing.c_str(), 5));
  EXPECT_EQ(1, fake::CallCount("SetCurrentDirectoryA"));  // the fixture's own only
  EXPECT_EQ("C:\\Users\\me", fake::files().CurrentDirectory());
  ASSERT_EQ(1u, table().launches.size());
  EXPECT_FALSE(table().launches[0].started);
  EXPECT_EQ(missing, table().launches[0].currentDirectory);
  EXPECT_EQ(0, table().OpenHandles());
}

TEST_F(LaunchProcessTest, AProgramThatCannotStartYieldsNoHandleAndRestoresTheFolder) {
  table().CannotStart("rundll32");
  EXPECT_EQ(nullptr, LaunchProcess("rundll32", kArguments, kPayload, 5));
  EXPECT_EQ("C:\\Users\\me", fake::files().CurrentDirectory());
  EXPECT_EQ(0, table().OpenHandles());
}

TEST_F(LaunchProcessTest, WithoutTheSystemFolderNothingIsSearchedFor) {
  fake::Fail("GetSystemDirectoryA");
  EXPECT_EQ(nullptr, LaunchProcess("rundll32", kArguments, kPayload, 5));
  EXPECT_TRUE(table().launches.empty());
  EXPECT_EQ("C:\\Users\\me", fake::files().CurrentDirectory());
}

TEST_F(LaunchProcessTest, ASystemFolderAtADriveRootGetsNoDoubledBackslash) {
  table().systemDirectory = "C:\\";
  os::HANDLE process = LaunchProcess("rundll32", nullptr, kPayload, 5);
  ASSERT_NE(nullptr, process);
  os::CloseHandle(process);
  EXPECT_EQ("C:\\rundll32.exe", table().launches[0].application);
}

TEST_F(LaunchProcessTest, ACommandLineLongerThanTheBufferIsRefusedNotCut) {
  const std::string fits(2047 - 9, 'a');  // "rundll32 " + arguments: 2047 characters and the NUL
  os::HANDLE process = LaunchProcess("rundll32", fits.c_str(), kPayload, 5);
  ASSERT_NE(nullptr, process);
  os::CloseHandle(process);
  EXPECT_EQ(2047u, table().launches[0].commandLine.size());
  EXPECT_EQ(nullptr, LaunchProcess("rundll32", (fits + "a").c_str(), kPayload, 5));
  EXPECT_EQ(nullptr, LaunchProcess(std::string(2048, 'p').c_str(), nullptr, kPayload, 5));
  EXPECT_EQ(1u, table().launches.size());
}

TEST_F(LaunchProcessTest, ACurrentFolderThatCannotBeSavedIsNotChanged) {
  fake::Fail("GetCurrentDirectoryA");
  os::HANDLE process = LaunchProcess("rundll32", kArguments, kPayload, 5);
  ASSERT_NE(nullptr, process);
  os::CloseHandle(process);
  EXPECT_EQ(kPayload, table().launches[0].currentDirectory);
  EXPECT_EQ("C:\\Users\\me", fake::files().CurrentDirectory());
}
