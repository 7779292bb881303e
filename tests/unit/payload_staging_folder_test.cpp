// The staging folder is made the program's own before anything is staged:
// whatever another user planted under %ALLUSERSPROFILE%\Tovlan is never used,
// written through or deleted through.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_resources.h"
#include "install/install_command.h"
#include "os/files.h"
#include "payload/folders.h"
#include "payload/staging_folder.h"
#include "support/recording_sink.h"
#include "support/scripted_form.h"
#include "testprint/sample_staging.h"

namespace {

const std::string kVendor = "C:\\ProgramData\\Tovlan";
const std::string kStaging = kVendor + "\\lumatrek";
const std::string kSystem = "C:\\Windows\\System32";
const std::string kUser = "S-1-5-21-1004336348-1177238915-682003330-1001";
// Owner Administrators; SYSTEM and Administrators full control, not inherited.
const std::string kOwnSddl = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

fake::FileSystem& fs() { return fake::files(); }

// System files a planted link points at; they must come through untouched.
void AddSystemFiles() {
  fs().AddFile(kSystem + "\\kernel32.dll", "kernel");
  fs().AddFile(kSystem + "\\lumatrek.dll", "a system file of that name");
}

void ExpectSystemFilesUntouched() {
  EXPECT_EQ("kernel", fs().Read(kSystem + "\\kernel32.dll"));
  EXPECT_EQ("a system file of that name", fs().Read(kSystem + "\\lumatrek.dll"));
}

// A fresh, empty staging folder of our own.
void ExpectOwnEmptyStaging() {
  EXPECT_TRUE(fs().IsFolder(kStaging));
  EXPECT_FALSE(fs().IsLink(kStaging));
  EXPECT_TRUE(fs().List(kStaging).empty());
  EXPECT_EQ(kOwnSddl, fs().Security(kStaging));
  EXPECT_EQ("BA", fs().Owner(kStaging));
  EXPECT_EQ("BA", fs().Owner(kVendor));
  EXPECT_FALSE(fs().IsLink(kVendor));
}

// Names in `folder` beginning with `prefix`.
std::vector<std::string> Named(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& name : fs().List(folder)) {
    if (name.rfind(prefix, 0) == 0) out.push_back(name);
  }
  return out;
}

}  // namespace

TEST(StagingFolder, IsCreatedWithOurOwnerAndAccessListAndHeldUntilTheEnd) {
  {
    StagingFolder staging;
    ASSERT_EQ(StagingFolder::Claim::Ready, staging.Prepare());
    EXPECT_TRUE(staging.ready());
    ExpectOwnEmptyStaging();
    EXPECT_EQ(kOwnSddl, fs().Security(kVendor));
    // Held without delete sharing: nobody can rename it away and put a link
    // in its place while the command works in it.
    EXPECT_FALSE(os::MoveFileExA(kStaging.c_str(), (kVendor + "\\elsewhere").c_str(), 0));
    EXPECT_FALSE(os::MoveFileExA(kVendor.c_str(), "C:\\ProgramData\\elsewhere", 0));
  }
  EXPECT_EQ(0, fs().OpenHandles());
  EXPECT_EQ(0, fs().LiveDescriptors());
  EXPECT_TRUE(os::MoveFileExA(kStaging.c_str(), (kVendor + "\\elsewhere").c_str(), 0));
}

TEST(StagingFolder, WhatIsFoundIsNeverUsedAsFound) {
  struct Case {
    const char* what;
    std::function<void()> plant;
    std::function<void()> check;  // besides a fresh folder of our own
  };
  const std::vector<Case> cases = {
      {"lumatrek a junction to the system folder", [] { fs().AddLink(kStaging, kSystem); }, [] {}},
      {"lumatrek\\install\\amd64 a junction to the system folder",
       [] { fs().AddLink(kStaging + "\\install\\amd64", kSystem); }, [] {}},
      {"a hard link to a system file at install.zip",
       [] { fs().AddHardLink(kStaging + "\\install.zip", kSystem + "\\lumatrek.dll"); }, [] {}},
      {"lumatrek a user's folder with an open access list",
       [] {
         fs().AddFile(kStaging + "\\install\\lumatrek.inf", "the user's INF");
         fs().SetOwner(kStaging, kUser);
         fs().SetOwner(kStaging + "\\install", kUser);
       },
       [] {}},
      {"lumatrek a folder that cannot be listed (moved aside)",
       [] {
         fs().AddFile(kStaging + "\\install\\stale.inf", "old");
         fake::FailNth("FindFirstFileA", 1);
       },
       [] {
         const std::vector<std::string> aside = Named(kVendor, "lumatrek.");
         ASSERT_EQ(1u, aside.size());
         EXPECT_EQ("old", fs().Read(kVendor + "\\" + aside[0] + "\\install\\stale.inf"));
       }},
      {"Tovlan a junction to the system folder", [] { fs().AddLink(kVendor, kSystem); }, [] {}},
      {"Tovlan a user's folder (moved aside, kept)",
       [] {
         fs().AddFile(kVendor + "\\notes.txt", "the user's");
         fs().SetOwner(kVendor, kUser);
       },
       [] {
         const std::vector<std::string> aside = Named("C:\\ProgramData", "Tovlan.");
         ASSERT_EQ(1u, aside.size());
         EXPECT_EQ("the user's", fs().Read("C:\\ProgramData\\" + aside[0] + "\\notes.txt"));
         EXPECT_EQ((std::vector<std::string>{"lumatrek"}), fs().List(kVendor));
       }},
      {"Tovlan a user's file", [] {
         fs().AddFile(kVendor, "x");
         fs().SetOwner(kVendor, kUser);
       }, [] {}},
      {"Tovlan the Administrators' folder (kept as it is)",
       [] { fs().AddFile(kVendor + "\\other product\\settings.ini", "kept"); },
       [] {
         EXPECT_EQ("kept", fs().Read(kVendor + "\\other product\\settings.ini"));
         EXPECT_EQ("", fs().Security(kVendor));
       }},
  };
  for (const Case& c : cases) {
    fake::Reset();
    AddSystemFiles();
    c.plant();
    {
      StagingFolder staging;
      EXPECT_EQ(StagingFolder::Claim::Ready, staging.Prepare()) << c.what;
      ExpectOwnEmptyStaging();
      c.check();
    }
    ExpectSystemFilesUntouched();
    EXPECT_EQ(0, fs().OpenHandles()) << c.what;
    EXPECT_EQ(0, fs().LiveDescriptors()) << c.what;
  }
}

TEST(StagingFolder, WhatCanBeNeitherRemovedNorMovedAsideIsAFailure) {
  struct Case {
    const char* what;
    std::function<void()> plant;
    StagingFolder::Claim claim;
  };
  const std::vector<Case> cases = {
      {"a file held open by another user in lumatrek\\install",
       [] {
         fs().AddFile(kStaging + "\\install\\lumatrek.inf", "held");
         fs().SetOwner(kStaging, kUser);
         fs().Lock(kStaging + "\\install\\lumatrek.inf");
       },
       StagingFolder::Claim::NotCleared},
      {"a user's Tovlan holding an open file",
       [] {
         fs().AddFile(kVendor + "\\held.txt", "held");
         fs().SetOwner(kVendor, kUser);
         fs().Lock(kVendor + "\\held.txt");
       },
       StagingFolder::Claim::NotCleared},
      {"the Administrators' file in Tovlan's place", [] { fs().AddFile(kVendor, "x"); },
       StagingFolder::Claim::NotCreated},
      {"no folder can be created", [] { fake::Fail("CreateDirectoryA"); }, StagingFolder::Claim::NotCreated},
      {"no descriptor can be built",
       [] { fake::Fail("ConvertStringSecurityDescriptorToSecurityDescriptorA"); }, StagingFolder::Claim::NotCreated},
  };
  for (const Case& c : cases) {
    fake::Reset();
    c.plant();
    StagingFolder staging;
    EXPECT_EQ(c.claim, staging.Prepare()) << c.what;
    EXPECT_FALSE(staging.ready()) << c.what;
    EXPECT_FALSE(fs().IsFolder(kStaging) && fs().Security(kStaging) == kOwnSddl) << c.what;
    EXPECT_EQ(0, fs().LiveDescriptors()) << c.what;
  }
}

TEST(StagingFolder, CommandsThatCouldNotClaimItDeleteNothingThroughIt) {
  // A junction at lumatrek that can be neither removed nor moved aside: the
  // clean-up of either command must not delete through it.
  const std::string victim = "C:\\Users\\victim";
  const std::vector<std::string> files = {victim + "\\install.zip", victim + "\\install\\lumatrek.inf",
                                          victim + "\\sample.zip", victim + "\\sample.bmp"};
  for (int command = 0; command < 2; ++command) {
    fake::Reset();
    for (const std::string& f : files) fs().AddFile(f, "keep");
    fs().AddLink(kStaging, victim);
    fake::Fail("RemoveDirectoryA");
    fake::Fail("MoveFileExA");
    if (command == 0) {
      ScriptedForm form;
      RecordingSink sink;
      RunInstallCommand(form, sink);
      EXPECT_EQ(1u, sink.shown.size());
    } else {
      RecordingSink sink;
      TestPrintSession session(sink);
      EXPECT_FALSE(session.StageSample());
    }
    for (const std::string& f : files) EXPECT_EQ("keep", fs().Read(f)) << command << " " << f;
  }
}

TEST(DeleteFolderTree, AFolderSwappedForAJunctionAfterTheListingIsNotFollowed) {
  AddSystemFiles();
  fs().AddFile("C:\\t\\sub\\a.txt", "a");
  // Between the listing of C:\t and the descent into "sub", another program
  // renames "sub" away and puts a junction to the system folder there.
  fake::OnNthCall("CreateFileA", 2, [] {
    ASSERT_TRUE(os::MoveFileExA("C:\\t\\sub", "C:\\t\\moved", 0));
    fs().AddLink("C:\\t\\sub", kSystem);
  });
  DeleteFolderTree("C:\\t");
  ExpectSystemFilesUntouched();
  EXPECT_FALSE(fs().Exists("C:\\t\\sub"));
}
