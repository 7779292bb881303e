#include <gtest/gtest.h>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "payload/folders.h"

namespace {
fake::FileSystem& fs() { return fake::files(); }
}  // namespace

TEST(CreateFolderChain, CreatesEachMissingFolderFromTheRootDown) {
  EXPECT_TRUE(CreateFolderChain("C:\\ProgramData\\Tovlan\\lumatrek\\install"));
  EXPECT_EQ((std::vector<std::string>{"C:\\ProgramData\\Tovlan\\", "C:\\ProgramData\\Tovlan\\lumatrek\\",
                                      "C:\\ProgramData\\Tovlan\\lumatrek\\install\\"}),
            fs().FoldersCreated());
  EXPECT_TRUE(fs().IsFolder("C:\\programdata\\TOVLAN\\Lumatrek\\Install"));
}

TEST(CreateFolderChain, ATrailingBackslashAddsNoStepAndExistingFoldersAreLeft) {
  EXPECT_TRUE(CreateFolderChain("C:\\a\\b\\"));
  EXPECT_EQ((std::vector<std::string>{"C:\\a\\", "C:\\a\\b\\"}), fs().FoldersCreated());
  EXPECT_TRUE(CreateFolderChain("c:/A/b"));
  EXPECT_EQ(2u, fs().FoldersCreated().size());
}

TEST(CreateFolderChain, RefusesWhatItCannotOrMustNotCreate) {
  EXPECT_FALSE(CreateFolderChain(""));
  EXPECT_FALSE(CreateFolderChain("a\\b"));    // no drive
  EXPECT_FALSE(CreateFolderChain("\\a\\b"));  // no drive either
  EXPECT_EQ(0, fake::CallCount("CreateDirectoryA"));

  fs().AddFile("C:\\a\\file", "x");
  EXPECT_FALSE(CreateFolderChain("C:\\a\\file"));       // a file is there
  EXPECT_FALSE(CreateFolderChain("C:\\a\\file\\sub"));  // a file on the way
  EXPECT_FALSE(CreateFolderChain("Q:\\a"));              // no such drive
  EXPECT_TRUE(fs().FoldersCreated().empty());
  EXPECT_EQ("x", fs().Read("C:\\a\\file"));
}

TEST(CreateFolderChain, FoldersMadeBeforeAFailureStay) {
  fake::FailNth("CreateDirectoryA", 2);
  EXPECT_FALSE(CreateFolderChain("C:\\x\\y\\z"));
  EXPECT_TRUE(fs().IsFolder("C:\\x"));
  EXPECT_FALSE(fs().Exists("C:\\x\\y"));
}

TEST(CreateFolderChain, APathTooLongForItsBufferFailsWithoutCreatingAShorterOne) {
  // 258 characters plus the closing backslash fill the 260-character buffer.
  const std::string fits = "C:\\" + std::string(100, 'a') + "\\" + std::string(154, 'b');
  ASSERT_EQ(258u, fits.size());
  fake::Fail("CreateDirectoryA");  // the walk is reached, nothing needs creating for the check
  EXPECT_FALSE(CreateFolderChain(fits));
  EXPECT_EQ(1, fake::CallCount("CreateDirectoryA"));
  fake::Reset();
  EXPECT_FALSE(CreateFolderChain(fits + "c"));
  EXPECT_FALSE(CreateFolderChain(fits + "c\\"));
  EXPECT_EQ(0, fake::CallCount("CreateDirectoryA"));
  EXPECT_FALSE(fs().Exists("C:\\" + std::string(100, 'a')));
}

TEST(CreateFolderForFile, CreatesTheFoldersAboveTheFileOuterFirst) {
  EXPECT_TRUE(CreateFolderForFile("C:\\outer\\inner\\file.txt"));
  EXPECT_EQ((std::vector<std::string>{"C:\\outer\\", "C:\\outer\\inner\\"}), fs().FoldersCreated());
  EXPECT_FALSE(fs().Exists("C:\\outer\\inner\\file.txt"));
  // A file at a drive root needs only the root.
  EXPECT_TRUE(CreateFolderForFile("C:\\file.txt"));
  EXPECT_EQ(2u, fs().FoldersCreated().size());
}

TEST(CreateFolderForFile, SlashIsNoSeparatorAndOverlongPathsFail) {
  // As the shell cuts it: at the last backslash only.
  EXPECT_TRUE(CreateFolderForFile("C:\\dest\\\\amd64/x.dll"));
  EXPECT_EQ((std::vector<std::string>{"C:\\dest\\"}), fs().FoldersCreated());
  EXPECT_FALSE(CreateFolderForFile("C:\\" + std::string(1021, 'f')));
  EXPECT_EQ(1, fake::CallCount("PathRemoveFileSpecA"));  // the overlong path never got that far
}

TEST(DeleteFolderTree, DeletesEverythingBelowAndTheFolderItself) {
  fs().AddFile("C:\\t\\a.txt", "a");
  fs().AddFile("C:\\t\\sub\\deep\\b.txt", "b");
  fs().AddFolder("C:\\t\\empty");
  EXPECT_TRUE(DeleteFolderTree("C:\\t"));
  EXPECT_FALSE(fs().Exists("C:\\t"));
  EXPECT_TRUE(DeleteFolderTree("C:\\ProgramData\\"));  // a trailing backslash is fine too
  EXPECT_FALSE(fs().Exists("C:\\ProgramData"));
  EXPECT_EQ(0, fs().OpenFinds());
}

TEST(DeleteFolderTree, AMissingFolderOrAnEmptyPathTouchesNothing) {
  fs().AddFile("C:\\keep.txt", "k");
  EXPECT_FALSE(DeleteFolderTree("C:\\missing"));
  EXPECT_FALSE(DeleteFolderTree(""));
  EXPECT_TRUE(fs().Exists("C:\\keep.txt"));
  EXPECT_TRUE(fs().Exists("C:\\ProgramData"));
  EXPECT_EQ(0, fake::CallCount("DeleteFileA") + fake::CallCount("RemoveDirectoryA"));
}

TEST(DeleteFolderTree, AFileInUseStaysWithItsFoldersAndTheResultIsFalse) {
  fs().AddFile("C:\\t\\in\\use.txt", "u");
  fs().AddFile("C:\\t\\in\\other.txt", "o");
  fs().AddFile("C:\\t\\z.txt", "z");
  fs().Lock("C:\\t\\in\\use.txt");
  EXPECT_FALSE(DeleteFolderTree("C:\\t"));
  EXPECT_TRUE(fs().Exists("C:\\t\\in\\use.txt"));
  EXPECT_FALSE(fs().Exists("C:\\t\\in\\other.txt"));
  EXPECT_FALSE(fs().Exists("C:\\t\\z.txt"));
}

TEST(DeleteFolderTree, LinksAreRemovedAsLinksAndNeverFollowed) {
  fs().AddFile("C:\\Windows\\System32\\precious.dll", "p");
  fs().AddFile("C:\\Windows\\win.ini", "w");
  fs().AddFile("C:\\t\\a.txt", "a");
  fs().AddLink("C:\\t\\junction", "C:\\Windows\\System32");
  fs().AddLink("C:\\t\\sub\\file-link", "C:\\Windows\\win.ini");
  EXPECT_TRUE(DeleteFolderTree("C:\\t"));
  EXPECT_FALSE(fs().Exists("C:\\t"));
  EXPECT_EQ("p", fs().Read("C:\\Windows\\System32\\precious.dll"));
  EXPECT_EQ("w", fs().Read("C:\\Windows\\win.ini"));

  // The folder named may itself have been swapped for a junction.
  fs().AddLink("C:\\ProgramData\\Tovlan\\lumatrek\\install", "C:\\Windows");
  EXPECT_TRUE(DeleteFolderTree("C:\\ProgramData\\Tovlan\\lumatrek\\install"));
  EXPECT_FALSE(fs().Exists("C:\\ProgramData\\Tovlan\\lumatrek\\install"));
  EXPECT_EQ("w", fs().Read("C:\\Windows\\win.ini"));
}
