#include <gtest/gtest.h>

#include <string>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "fake_os/fake_system_info.h"
#include "uninstall/driver_files.h"

namespace {

const char kX64[] = "C:\\Windows\\system32\\spool\\drivers\\x64\\3\\";
const char* const kModelFiles[] = {
    "lumatrek.BUD",   "lumatrek.dll",   "lumatrek.gpd",   "lumatrek.ini",
    "lumatrek80.BUD", "lumatrek80.dll", "lumatrek80.gpd", "lumatrek80.ini",
};

void PlantAll(const std::string& folder) {
  for (const char* name : kModelFiles) fake::files().AddFile(folder + name, "MZ");
}

}  // namespace

TEST(GetDriverFolders, ChoosesTheFolderOfTheNativeArchitecture) {
  struct Case {
    std::uint16_t architecture;
    const char* driver;
  };
  const Case cases[] = {
      {9, "C:\\Windows\\system32\\spool\\drivers\\x64\\3\\"},     // AMD64
      {6, "C:\\Windows\\system32\\spool\\drivers\\x64\\3\\"},     // IA64
      {0, "C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\"},  // x86
      {12, "C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\"}, // any other
  };
  for (const Case& c : cases) {
    fake::systemInfo().nativeArchitecture = c.architecture;
    const DriverFolders folders = GetDriverFolders();
    EXPECT_EQ("C:\\Windows\\system32\\", folders.system) << c.architecture;
    EXPECT_EQ(c.driver, folders.driver) << c.architecture;
  }
}

TEST(GetDriverFolders, PutsNoSecondSeparatorAfterASystemFolderEndingWithOne) {
  fake::processes().systemDirectory = "D:\\";
  EXPECT_EQ("D:\\", GetDriverFolders().system);
  EXPECT_EQ("D:\\spool\\drivers\\x64\\3\\", GetDriverFolders().driver);
}

TEST(DeleteDriverFiles, SucceedsWithoutDeletingAnythingWhenNoModelFileExists) {
  fake::files().AddFile(std::string(kX64) + "UNIDRV.DLL", "MZ");
  EXPECT_TRUE(DeleteDriverFiles());
  EXPECT_EQ(0, fake::CallCount("DeleteFileA"));
  EXPECT_TRUE(fake::files().Exists(std::string(kX64) + "UNIDRV.DLL"));
}

TEST(DeleteDriverFiles, DeletesTheEightModelFilesOfTheNativeFolderOnly) {
  PlantAll(kX64);
  PlantAll("C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\");
  fake::files().AddFile(std::string(kX64) + "lumatrek.cat", "x");
  EXPECT_TRUE(DeleteDriverFiles());
  for (const char* name : kModelFiles) {
    EXPECT_FALSE(fake::files().Exists(std::string(kX64) + name)) << name;
    EXPECT_TRUE(fake::files().Exists(std::string("C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\") + name))
        << name;
  }
  EXPECT_TRUE(fake::files().Exists(std::string(kX64) + "lumatrek.cat"));

  fake::Reset();
  fake::systemInfo().Make32BitX86();
  PlantAll("C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\");
  EXPECT_TRUE(DeleteDriverFiles());
  EXPECT_TRUE(fake::files().List("C:\\Windows\\system32\\spool\\drivers\\w32x86\\3").empty());
}

TEST(DeleteDriverFiles, StopsAtTheFirstFileThatCannotBeDeleted) {
  PlantAll(kX64);
  fake::files().Lock(std::string(kX64) + "lumatrek.gpd");
  EXPECT_FALSE(DeleteDriverFiles());
  EXPECT_FALSE(fake::files().Exists(std::string(kX64) + "lumatrek.BUD"));
  EXPECT_FALSE(fake::files().Exists(std::string(kX64) + "lumatrek.dll"));
  EXPECT_TRUE(fake::files().Exists(std::string(kX64) + "lumatrek.gpd"));
  EXPECT_TRUE(fake::files().Exists(std::string(kX64) + "lumatrek.ini"));
  for (const char* name : {"lumatrek80.BUD", "lumatrek80.dll", "lumatrek80.gpd", "lumatrek80.ini"}) {
    EXPECT_TRUE(fake::files().Exists(std::string(kX64) + name)) << name;
  }
}
