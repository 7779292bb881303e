// The fake file system follows the Windows rules the staging code depends on;
// if it did not, the payload tests would prove nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "os/files.h"

TEST(FakeFiles, PathsFollowWindowsRules) {
  fake::files().AddFile("c:/ProgramData//Tovlan\\A.txt", "x");
  EXPECT_TRUE(os::PathFileExistsA("C:\\PROGRAMDATA\\tovlan\\a.TXT"));
  EXPECT_TRUE(os::PathFileExistsA("C:\\ProgramData\\\\Tovlan\\x\\..\\a.txt"));
  EXPECT_FALSE(os::PathFileExistsA("C:\\ProgramData\\Tovlan\\a.txt\\"));
  EXPECT_TRUE(os::PathIsDirectoryA("C:\\ProgramData\\Tovlan\\"));
  EXPECT_FALSE(os::PathIsDirectoryA("C:\\ProgramData\\Tovlan\\a.txt"));
  EXPECT_FALSE(os::PathFileExistsA("D:\\"));
  EXPECT_EQ((std::vector<std::string>{"A.txt"}), fake::files().List("C:\\programdata\\tovlan"));
  // A GBK character whose trail byte is 0x5C is not a separator.
  fake::files().AddFile("C:\\\xD5\x5C.txt", "y");
  EXPECT_EQ("y", fake::files().Read("c:\\\xD5\x5C.TXT"));
  EXPECT_FALSE(fake::files().IsFolder("C:\\\xD5"));
}

TEST(FakeFiles, StreamsReadWriteSeekAndHoldTheFileOpen) {
  fake::files().AddFile("C:\\d\\f.bin", "0123456789");
  os::FILE* f = os::fopen("C:\\d\\f.bin", "rb");
  ASSERT_NE(nullptr, f);
  char buf[8] = {};
  EXPECT_EQ(0, os::fseek(f, -3, 2));
  EXPECT_EQ(7, os::ftell(f));
  EXPECT_EQ(3u, os::fread(buf, 1, sizeof buf, f));
  EXPECT_EQ(0, std::memcmp(buf, "789", 3));
  EXPECT_EQ(0u, os::fwrite("z", 1, 1, f));
  EXPECT_FALSE(os::DeleteFileA("C:\\d\\f.bin"));
  EXPECT_EQ(1, fake::files().OpenStreams());
  EXPECT_EQ(0, os::fclose(f));
  EXPECT_TRUE(os::DeleteFileA("C:\\d\\f.bin"));

  EXPECT_EQ(nullptr, os::fopen("C:\\missing\\f.bin", "wb"));
  os::FILE* w = os::fopen("C:\\d\\g.bin", "wb");
  ASSERT_NE(nullptr, w);
  fake::files().SetFreeSpace(4);
  EXPECT_EQ(4u, os::fwrite("abcdef", 1, 6, w));
  EXPECT_EQ(0u, os::fwrite("ef", 1, 2, w));
  os::fclose(w);
  EXPECT_EQ("abcd", fake::files().Read("C:\\d\\g.bin"));
}

TEST(FakeFiles, ListingsAndLinks) {
  fake::files().AddFile("C:\\target\\keep.txt", "k");
  fake::files().AddLink("C:\\tree\\link", "C:\\target");
  EXPECT_EQ("k", fake::files().Read("C:\\tree\\link\\keep.txt"));
  os::WIN32_FIND_DATAA d;
  os::HANDLE h = os::FindFirstFileA("C:\\tree\\*.*", &d);
  ASSERT_NE(os::INVALID_HANDLE_VALUE, h);
  std::vector<std::string> names{d.cFileName};
  os::DWORD linkAttributes = 0;
  while (os::FindNextFileA(h, &d)) {
    names.push_back(d.cFileName);
    if (names.back() == "link") linkAttributes = d.dwFileAttributes;
  }
  os::FindClose(h);
  EXPECT_EQ((std::vector<std::string>{".", "..", "link"}), names);
  EXPECT_EQ(os::FILE_ATTRIBUTE_DIRECTORY | os::FILE_ATTRIBUTE_REPARSE_POINT, linkAttributes);
  EXPECT_TRUE(os::RemoveDirectoryA("C:\\tree\\link"));
  EXPECT_EQ("k", fake::files().Read("C:\\target\\keep.txt"));
  EXPECT_EQ(0, fake::files().OpenFinds());
}

TEST(FakeFiles, EnvironmentAndCurrentFolder) {
  char buf[64];
  EXPECT_EQ(22u, os::ExpandEnvironmentStringsA("%ALLUSERSPROFILE%\\Tovlan", buf, sizeof buf));
  EXPECT_STREQ("C:\\ProgramData\\Tovlan", buf);
  EXPECT_EQ(22u, os::ExpandEnvironmentStringsA("%allusersprofile%\\Tovlan", buf, 5));
  fake::files().SetEnv("ALLUSERSPROFILE", "");
  os::ExpandEnvironmentStringsA("%ALLUSERSPROFILE%\\Tovlan", buf, sizeof buf);
  EXPECT_STREQ("%ALLUSERSPROFILE%\\Tovlan", buf);

  fake::files().AddFolder("C:\\work\\sub");
  EXPECT_TRUE(os::SetCurrentDirectoryA("c:\\work"));
  EXPECT_EQ(7u, os::GetCurrentDirectoryA(sizeof buf, buf));
  EXPECT_STREQ("C:\\work", buf);
  EXPECT_TRUE(os::PathIsDirectoryA("sub"));
  EXPECT_FALSE(os::RemoveDirectoryA("C:\\work\\sub\\.."));
}
