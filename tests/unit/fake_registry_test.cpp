// The fake registry's own Win32 behaviour, where the code under test relies
// on it: name matching, enumeration order and end, buffer sizing, rights.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_os/fake_os.h"
#include "fake_os/fake_registry.h"
#include "os/registry.h"

namespace {

const char kBase[] = "SOFTWARE\\Test";

}  // namespace

TEST(FakeRegistry, OpensByNameInAnyCaseAndTracksEveryHandleUntilClosed) {
  fake::registry().SetDword("SOFTWARE\\Test\\Alpha", "Value", 7);
  os::HKEY key = nullptr;
  ASSERT_EQ(0, os::RegOpenKeyA(os::HKEY_LOCAL_MACHINE, "software\\TEST\\alpha", &key));
  os::HKEY again = nullptr;
  ASSERT_EQ(0, os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\Alpha", 0, os::KEY_READ, &again));
  EXPECT_NE(key, again);
  EXPECT_EQ(2, fake::registry().OpenKeys());

  os::HKEY missing = nullptr;
  EXPECT_EQ(2, os::RegOpenKeyA(os::HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\Beta", &missing));  // FILE_NOT_FOUND
  EXPECT_EQ(2, fake::registry().OpenKeys());

  EXPECT_EQ(0, os::RegCloseKey(key));
  EXPECT_EQ(0, os::RegCloseKey(again));
  EXPECT_NE(0, os::RegCloseKey(key)) << "a handle closed twice is refused";
  EXPECT_EQ(0, fake::registry().OpenKeys());
}

TEST(FakeRegistry, EnumeratesSubkeysInCreationOrderAndEndsWithNoMoreItems) {
  fake::registry().AddKey("SOFTWARE\\Test\\zeta");
  fake::registry().AddKey("SOFTWARE\\Test\\Alpha");
  os::RegKey key;
  ASSERT_EQ(0, os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, kBase, 0, os::KEY_READ, key.receive()));
  char name[16];
  ASSERT_EQ(0, os::RegEnumKeyA(key.get(), 0, name, sizeof name));
  EXPECT_STREQ("zeta", name);
  os::DWORD size = sizeof name;
  ASSERT_EQ(0, os::RegEnumKeyExA(key.get(), 1, name, &size, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("Alpha", name);
  EXPECT_EQ(5u, size);
  EXPECT_EQ(259, os::RegEnumKeyA(key.get(), 2, name, sizeof name));  // ERROR_NO_MORE_ITEMS
  EXPECT_EQ(234, os::RegEnumKeyA(key.get(), 1, name, 5));              // ERROR_MORE_DATA: no room for NUL
}

TEST(FakeRegistry, QueryReportsTypeAndSizeAndRefusesATooSmallBuffer) {
  fake::registry().SetString(kBase, "Name", "abc");
  os::RegKey key;
  ASSERT_EQ(0, os::RegOpenKeyA(os::HKEY_LOCAL_MACHINE, kBase, key.receive()));
  os::BYTE data[8];
  os::DWORD type = 0;
  os::DWORD size = 3;
  EXPECT_EQ(234, os::RegQueryValueExA(key.get(), "NAME", nullptr, &type, data, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(os::REG_SZ, type);
  size = sizeof data;
  ASSERT_EQ(0, os::RegQueryValueExA(key.get(), "name", nullptr, &type, data, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0, std::memcmp("abc", data, 4));
  EXPECT_EQ(2, os::RegQueryValueExA(key.get(), "Other", nullptr, &type, data, &size));
}

TEST(FakeRegistry, CreateMakesMissingKeysAndWritesOnlyThroughAWritableHandle) {
  os::HKEY key = nullptr;
  os::DWORD disposition = 0;
  ASSERT_EQ(0, os::RegCreateKeyExA(os::HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\New\\Leaf", 0, nullptr, 0,
                                   os::KEY_READ | os::KEY_WRITE, nullptr, &key, &disposition));
  EXPECT_EQ(1u, disposition);  // REG_CREATED_NEW_KEY
  const os::DWORD one = 1;
  EXPECT_EQ(0, os::RegSetValueExA(key, "Port", 0, os::REG_DWORD, reinterpret_cast<const os::BYTE*>(&one), 4));
  os::RegCloseKey(key);
  EXPECT_EQ(os::REG_DWORD, fake::registry().Value("software\\test\\new\\leaf", "port").type);
  EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), fake::registry().Value("SOFTWARE\\Test\\New\\Leaf", "Port").data);

  ASSERT_EQ(0, os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\New\\Leaf", 0, os::KEY_READ, &key));
  EXPECT_EQ(5, os::RegSetValueExA(key, "Other", 0, os::REG_DWORD, reinterpret_cast<const os::BYTE*>(&one), 4));
  os::RegCloseKey(key);

  fake::registry().DenyCreate("SOFTWARE\\Test\\Locked");
  EXPECT_EQ(5, os::RegCreateKeyExA(os::HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\Locked", 0, nullptr, 0,
                                   os::KEY_WRITE, nullptr, &key, nullptr));
  EXPECT_EQ(0, fake::registry().OpenKeys());
}
