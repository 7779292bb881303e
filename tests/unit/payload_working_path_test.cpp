#include <gtest/gtest.h>

#include "fake_os/fake_files.h"
#include "payload/working_path.h"

TEST(JoinPath, JoinsWithExactlyOneBackslash) {
  EXPECT_EQ("C:\\a\\b", JoinPath("C:\\a", "b"));
  EXPECT_EQ("C:\\a\\b", JoinPath("C:\\a\\", "b"));
  EXPECT_EQ("C:\\a\\b", JoinPath("C:\\a\\", "\\b"));
  EXPECT_EQ("\\b", JoinPath("", "b"));
  EXPECT_EQ("C:\\a\\", JoinPath("C:\\a", ""));
  // Only one leading backslash of the relative text goes.
  EXPECT_EQ("C:\\a\\\\b", JoinPath("C:\\a", "\\\\b"));
}

TEST(JoinPath, TurnsSlashesIntoBackslashesAndTrimsWhiteSpace) {
  EXPECT_EQ("C:\\a\\b\\c\\d\\", JoinPath("C:/a/b/", "/c/d/"));
  EXPECT_EQ("C:\\a\\b c", JoinPath(" \t C:\\a\r\n", "\v\f b c  \n"));
}

TEST(JoinPath, ADoubleByteCharacterEndingIn5CIsNoSeparator) {
  // "\xD5\x5C" is one GBK character; the base does not end in a backslash.
  EXPECT_EQ("C:\\\xD5\x5C\\b", JoinPath("C:\\\xD5\x5C", "b"));
  EXPECT_EQ("C:\\\xD5\x5C\\b", JoinPath("C:\\\xD5\x5C\\", "b"));
  // High bytes are never white space, even next to the ends.
  EXPECT_EQ("C:\\\xA1\xA0\\\xA0\xA1", JoinPath("C:\\\xA1\xA0", "\xA0\xA1"));
}

TEST(WorkingPath, LiesUnderTheAllUsersProfileAndKeepsATrailingBackslash) {
  EXPECT_EQ("C:\\ProgramData\\Tovlan\\lumatrek\\install\\", WorkingPath("lumatrek\\install\\"));
  EXPECT_EQ("C:\\ProgramData\\Tovlan\\lumatrek\\install", WorkingPath("lumatrek\\install"));
  fake::files().SetEnv("ALLUSERSPROFILE", "D:\\All Users");
  EXPECT_EQ("D:\\All Users\\Tovlan\\lumatrek\\sample.zip", WorkingPath("lumatrek\\sample.zip"));
}

TEST(WorkingPath, AWorkingFolderThatDoesNotFitItsBufferGivesNoPath) {
  const std::string tovlan = "\\Tovlan";
  // 259 characters after expansion still fit with the NUL; 260 do not.
  fake::files().SetEnv("ALLUSERSPROFILE", "C:\\" + std::string(259 - 3 - tovlan.size(), 'p'));
  EXPECT_EQ(259u + 2, WorkingPath("x").size());
  fake::files().SetEnv("ALLUSERSPROFILE", "C:\\" + std::string(260 - 3 - tovlan.size(), 'p'));
  EXPECT_EQ("", WorkingPath("x"));
  fake::files().SetEnv("ALLUSERSPROFILE", "C:\\" + std::string(1000, 'p'));
  EXPECT_EQ("", WorkingPath("x"));
}
