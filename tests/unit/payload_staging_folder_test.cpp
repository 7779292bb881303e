// Each command works in a folder it makes itself under a name nobody can
// guess, with its whole path held: nothing another user planted under
// %ALLUSERSPROFILE%\Tovlan is entered, changed, moved or followed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "os/devices.h"
#include "os/files.h"
#include "common/checked_open.h"
#include "common/entry_owner.h"
#include "payload/folders.h"
#include "payload/staging_folder.h"
#include "support/working_folder.h"

namespace {

const std::string kVendor = "C:\\ProgramData\\Tovlan";
// The fallback: a Tovlan in the Windows folder, where no standard user can create anything.
const std::string kInWindows = "C:\\Windows\\Tovlan\\lumatrek.000102030405060708090a0b0c0d0e0f";
// After a refused first folder, the second draw.
const std::string kSecondInWindows = "C:\\Windows\\Tovlan\\lumatrek.101112131415161718191a1b1c1d1e1f";
const std::string kSystem = "C:\\Windows\\System32";
const std::string kVictim = "C:\\Users\\victim";
const std::string kUser = "S-1-5-21-1004336348-1177238915-682003330-1001";
// Owner Administrators; SYSTEM and Administrators full control, not inherited.
const std::string kOwnSddl = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

fake::FileSystem& fs() { return fake::files(); }

// A machine with its Windows folder and files a planted link may point at.
void Arrange() {
  fs().AddFolder("C:\\Windows\\Temp");
  fs().AddFile(kSystem + "\\kernel32.dll", "kernel");
  fs().AddFile(kVictim + "\\notes.txt", "the user's");
}

void ExpectOthersUntouched(const std::string& what) {
  EXPECT_EQ("kernel", fs().Read(kSystem + "\\kernel32.dll")) << what;
  EXPECT_EQ("the user's", fs().Read(kVictim + "\\notes.txt")) << what;
  EXPECT_EQ(0, fs().OpenHandles()) << what;
  EXPECT_EQ(0, fs().LiveDescriptors()) << what;
}

// A folder at `path` made by another user, with a file in it.
void AddUsersFolder(const std::string& path) {
  fs().AddFile(path + "\\lumatrek.inf", "the user's");
  fs().SetOwner(path, kUser);
}

// Tovlan as the program made it on an earlier run.
void AddOurTovlan() {
  fs().AddFolder(kVendor);
  fs().SetSecurity(kVendor, kOwnSddl);
}

// The next command's new folder, replaced by `swap` before it is opened
// (the first four opens judge and hold ProgramData and Tovlan).
void SwapNewFolder(std::function<void()> swap) {
  fake::OnNthCall("CreateFileA", 5, [swap] {
    ASSERT_TRUE(os::RemoveDirectoryA(kFirstWorkingFolder.c_str()));
    swap();
  });
}

}  // namespace

TEST(StagingFolder, IsMadeNewWithItsAccessListInAHeldPathAndRemovedAtTheEnd) {
  {
    StagingFolder staging;
    ASSERT_TRUE(staging.Prepare());
    EXPECT_EQ(kFirstWorkingFolder + "\\install\\", staging.PathOf("install\\"));
    EXPECT_EQ(kOwnSddl, fs().Security(kFirstWorkingFolder));
    EXPECT_EQ(kOwnSddl, fs().Security(kVendor));
    // Nothing on the path can be renamed away and replaced while it works.
    for (const std::string& held : {kFirstWorkingFolder, kVendor, std::string("C:\\ProgramData")}) {
      EXPECT_FALSE(os::MoveFileExA(held.c_str(), "C:\\elsewhere", 0)) << held;
    }
    fs().AddFile(staging.PathOf("install\\amd64\\a.dll"), "x");
  }
  EXPECT_FALSE(fs().Exists(kFirstWorkingFolder));
  EXPECT_TRUE(fs().IsFolder(kVendor));
  EXPECT_EQ(0, fs().OpenHandles());
  EXPECT_EQ(0, fs().LiveDescriptors());
}

TEST(StagingFolder, WhatOthersMadeIsLeftAsItIsAndATovlanNotOursFallsBackToTheWindowsFolder) {
  const std::string lookalike = kVendor + "\\lumatrek.ffffffffffffffffffffffffffffffff";
  const std::string earlier = kVendor + "\\lumatrek.dddddddddddddddddddddddddddddddd";
  static os::HANDLE running = nullptr;
  struct Case {
    const char* what;
    std::function<void()> plant;
    std::string working;          // where the working folder is made
    std::function<void()> check;  // after the command
    bool asWine = false;          // the descriptor is kept as Wine keeps it
  };
  const std::vector<Case> cases = {
      {"a user's Tovlan with a file held open",
       [] {
         AddUsersFolder(kVendor);
         fs().Lock(kVendor + "\\lumatrek.inf");
       },
       kInWindows,
       [] {
         EXPECT_EQ(std::vector<std::string>{"lumatrek.inf"}, fs().List(kVendor)) << "nothing made in it";
         EXPECT_EQ(std::vector<std::string>{"Tovlan"}, fs().List("C:\\ProgramData")) << "nothing moved aside";
       }},
      {"an administrator's Tovlan without our access list (users may create in it)",
       [] { fs().AddFile(kVendor + "\\notes.txt", "kept"); }, kInWindows,
       [] { EXPECT_EQ(std::vector<std::string>{"notes.txt"}, fs().List(kVendor)); }},
      {"a user's Tovlan carrying our access list",
       [] {
         AddOurTovlan();
         fs().SetOwner(kVendor, kUser);
       },
       kInWindows, [] { EXPECT_TRUE(fs().List(kVendor).empty()); }},
      {"a Tovlan of ours with one more entry in its list",
       [] {
         AddOurTovlan();
         fs().SetSecurity(kVendor, kOwnSddl + "(A;OICI;0x1200a9;;;BU)");
       },
       kInWindows, [] {}},
      {"a Tovlan of ours whose list is inherited, not protected",
       [] {
         AddOurTovlan();
         fs().SetSecurity(kVendor, "O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
       },
       kInWindows, [] {}},
      {"Tovlan a junction", [] { fs().AddLink(kVendor, kSystem); }, kInWindows, [] { EXPECT_TRUE(fs().IsLink(kVendor)); }},
      {"Tovlan a file", [] { fs().AddFile(kVendor, "x"); }, kInWindows, [] { EXPECT_EQ("x", fs().Read(kVendor)); }},
      {"Tovlan held open for deletion",
       [] {
         AddOurTovlan();
         fs().HoldForDeletion(kVendor);
       },
       kInWindows, [] {}},
      // Only the system or an administrator can; it is no reason to go elsewhere.
      {"ProgramData held open for deletion", [] { fs().HoldForDeletion("C:\\ProgramData"); }, kFirstWorkingFolder,
       [] {}},
      {"the old fixed folder, the user's",
       [] {
         AddOurTovlan();
         AddUsersFolder(kVendor + "\\lumatrek");
       },
       kFirstWorkingFolder, [] { EXPECT_EQ("the user's", fs().Read(kVendor + "\\lumatrek\\lumatrek.inf")); }},
      {"an administrator's folder not named like a working folder",
       [] {
         AddOurTovlan();
         fs().AddFile(kVendor + "\\lumatrek.settings\\a.ini", "kept");
       },
       kFirstWorkingFolder, [] { EXPECT_EQ("kept", fs().Read(kVendor + "\\lumatrek.settings\\a.ini")); }},
      {"a user's folder named like a working folder",
       [lookalike] {
         AddOurTovlan();
         AddUsersFolder(lookalike);
       },
       kFirstWorkingFolder, [lookalike] { EXPECT_EQ("the user's", fs().Read(lookalike + "\\lumatrek.inf")); }},
      {"an administrator's folder named like a working folder, without our access list",
       [lookalike] {
         AddOurTovlan();
         fs().AddFile(lookalike + "\\a.txt", "moved here by a user");
       },
       kFirstWorkingFolder, [lookalike] { EXPECT_EQ("moved here by a user", fs().Read(lookalike + "\\a.txt")); }},
      {"a junction named like a working folder",
       [lookalike] {
         AddOurTovlan();
         fs().AddLink(lookalike, kVictim);
       },
       kFirstWorkingFolder, [lookalike] { EXPECT_TRUE(fs().IsLink(lookalike)); }},
      {"an earlier run's own folder (removed)",
       [earlier] {
         AddOurTovlan();
         fs().AddFile(earlier + "\\install\\a.inf", "old");
         fs().SetSecurity(earlier, kOwnSddl);
       },
       kFirstWorkingFolder, [earlier] { EXPECT_FALSE(fs().Exists(earlier)); }},
      {"the folder of a command still running",
       [earlier] {
         AddOurTovlan();
         fs().AddFile(earlier + "\\install\\a.inf", "in use");
         fs().SetSecurity(earlier, kOwnSddl);
         running = HoldFolderInPlace(earlier);
       },
       kFirstWorkingFolder,
       [earlier] {
         EXPECT_EQ("in use", fs().Read(earlier + "\\install\\a.inf"));
         os::CloseHandle(running);
       }},
      {"a system that gives what it makes to the process's user (as Wine)", [] { fs().KeepDescriptorsAsWine(); },
       kFirstWorkingFolder, [] {}, true},
      {"a folder owned by the user of an elevated token (a process of the user's that is not elevated)",
       [] {
         fs().SetDefaultOwner("BA");
         fake::OnNthCall("CreateFileA", 5, [] { fs().SetOwner(kFirstWorkingFolder, fake::kProcessUser); });
       },
       kSecondInWindows, [] {}},
      {"Wine's form of the list on a system that keeps owners (Windows)",
       [] {
         fs().SetDefaultOwner("BA");
         fs().KeepDescriptorsAsWine();
       },
       "", [] {}},
      {"the new folder swapped for a junction before it is opened",
       [] { SwapNewFolder([] { fs().AddLink(kFirstWorkingFolder, kVictim); }); }, kSecondInWindows,
       [] { EXPECT_TRUE(fs().IsLink(kFirstWorkingFolder)); }},
      {"the new folder swapped for a user's folder before it is opened",
       [] { SwapNewFolder([] { AddUsersFolder(kFirstWorkingFolder); }); }, kSecondInWindows,
       [] { EXPECT_EQ(std::vector<std::string>{"lumatrek.inf"}, fs().List(kFirstWorkingFolder)); }},
  };
  for (const Case& c : cases) {
    fake::Reset();
    Arrange();
    c.plant();
    {
      StagingFolder staging;
      if (c.working.empty()) {
        EXPECT_FALSE(staging.Prepare()) << c.what;
        continue;
      }
      ASSERT_TRUE(staging.Prepare()) << c.what;
      EXPECT_EQ(c.working + "\\install.zip", staging.PathOf("install.zip")) << c.what;
      if (!c.asWine) {
        EXPECT_EQ(kOwnSddl, fs().Security(c.working)) << c.what;
      }
      EXPECT_EQ(std::vector<std::string>{}, fs().Waits()) << c.what;
      fs().AddFile(staging.PathOf("install\\lumatrek.inf"), "ours");
    }
    EXPECT_FALSE(fs().Exists(c.working)) << c.what;
    c.check();
    ExpectOthersUntouched(c.what);
  }
}

TEST(StagingFolder, TheCleanUpsPauseGivesNoChanceToSwapTheFolder) {
  Arrange();
  AddOurTovlan();
  fake::FailNth("RemoveDirectoryA", 1);  // the printer UI's folder, still in use
  bool swapped = false;
  fake::OnNthCall("Sleep", 1, [&swapped] {
    if (os::MoveFileExA(kFirstWorkingFolder.c_str(), (kVendor + "\\moved").c_str(), 0)) {
      fs().AddLink(kFirstWorkingFolder, kVictim);
      swapped = true;
    }
  });
  {
    StagingFolder staging;
    ASSERT_TRUE(staging.Prepare());
    fs().AddFile(staging.PathOf("install\\lumatrek.inf"), "x");
    EXPECT_TRUE(staging.Remove());
  }
  EXPECT_FALSE(swapped);
  EXPECT_EQ(1, fake::CallCount("Sleep"));
  EXPECT_FALSE(fs().Exists(kFirstWorkingFolder));
  ExpectOthersUntouched("");
}

TEST(DeleteFolderTree, AFolderSwappedForAJunctionAfterTheListingIsNotFollowed) {
  Arrange();
  fs().AddFile("C:\\t\\sub\\a.txt", "a");
  // Between the listing of C:\t and the descent into "sub", another program
  // renames "sub" away and puts a junction to the system folder there.
  fake::OnNthCall("CreateFileA", 2, [] {
    ASSERT_TRUE(os::MoveFileExA("C:\\t\\sub", "C:\\t\\moved", 0));
    fs().AddLink("C:\\t\\sub", kSystem);
  });
  (void)DeleteFolderTree("C:\\t");  // judged by what is left
  ExpectOthersUntouched("");
  EXPECT_FALSE(fs().Exists("C:\\t\\sub"));
}

// The chain a standard user could build: a Tovlan of their own, an oplock on
// it that pauses the first open that would break it, and meanwhile the held,
// empty Tovlan turned into a mount point to a folder of theirs, so that the
// working folder, the archive, the certificate and the INF would all be made
// and read there. It fails at its first step: a Tovlan not ours is judged
// on a handle that waits on nobody and never entered.
TEST(StagingFolder, AUsersTovlanIsNeverEnteredSoItsOplockAndMountPointLeadNowhere) {
  Arrange();
  const std::string theirs = "C:\\Users\\mallory\\staged";
  fs().AddFolder(theirs);
  fs().AddFolder(kVendor);
  fs().SetOwner(kVendor, kUser);
  bool mounted = false;
  fs().Oplock(kVendor, [&] { mounted = fs().MakeMountPoint(kVendor, theirs); });
  fs().Oplock("C:\\ProgramData");  // a user may open it and ask an oplock too
  {
    StagingFolder staging;
    ASSERT_TRUE(staging.Prepare());
    EXPECT_EQ(kInWindows + "\\install.zip", staging.PathOf("install.zip"));
  }
  EXPECT_EQ(std::vector<std::string>{}, fs().Waits());
  EXPECT_FALSE(mounted);
  EXPECT_TRUE(fs().List(theirs).empty());
  ExpectOthersUntouched("");
}

// A folder another user made, named like an earlier run's, with an oplock on
// it: the clean-up judges it on a handle that waits on nobody and leaves it.
TEST(DeleteFolderTree, AFolderNotOursIsJudgedWithoutWaitingOnItsMaker) {
  Arrange();
  const std::string lookalike = "C:\\Windows\\Tovlan\\lumatrek.ffffffffffffffffffffffffffffffff";
  AddUsersFolder(lookalike);
  fs().Oplock(lookalike);
  EXPECT_FALSE(DeleteFolderTree(lookalike, [](os::HANDLE held) { return CarriesOwnAccessList(held); }));
  EXPECT_EQ(std::vector<std::string>{}, fs().Waits());
  EXPECT_EQ("the user's", fs().Read(lookalike + "\\lumatrek.inf"));
  ExpectOthersUntouched("");
}
