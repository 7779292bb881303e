#include <gtest/gtest.h>

#include <cstdint>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_resources.h"
#include "payload/resource_export.h"

namespace {
const char* const kPath = "C:\\ProgramData\\install.zip";
}  // namespace

TEST(ExportResource, WritesTheZipresBytesReplacingAnExistingFile) {
  const std::string bytes("PK\x03\x04\0\0binary\0tail", 16);
  fake::resources().Add("ZIPRES", 205, bytes);
  fake::resources().Add("ZIPRES", 208, "other");
  fake::files().AddFile(kPath, std::string(100, 'o'));
  EXPECT_TRUE(ExportResource(kPath, 205));
  EXPECT_EQ(bytes, fake::files().Read(kPath));
  EXPECT_EQ(0, fake::files().OpenHandles());
  EXPECT_EQ(0, fake::resources().Loaded());
  // A write that reports success without taking a byte ends it too.
  fake::files().SetFreeSpace(SIZE_MAX);
  fake::files().LimitWriteSize(0);
  EXPECT_FALSE(ExportResource(kPath, 208));
}

TEST(ExportResource, AMissingResourceCreatesNoFile) {
  fake::resources().Add("BITMAP", 205, "not an archive");
  fake::resources().Add("ZIPRES", 206, "neighbour");
  EXPECT_FALSE(ExportResource(kPath, 205));
  EXPECT_FALSE(fake::files().Exists(kPath));
  EXPECT_EQ(0, fake::CallCount("fopen"));
}

TEST(ExportResource, TheIdIsTakenAsSixteenBits) {
  fake::resources().Add("ZIPRES", 205, "payload");
  EXPECT_TRUE(ExportResource(kPath, 205 + 65536));
  EXPECT_EQ("payload", fake::files().Read(kPath));
}

TEST(ExportResource, ShortWritesAreContinuedUntilEveryByteIsWritten) {
  const std::string bytes(10000, 'z');
  fake::resources().Add("ZIPRES", 208, bytes);
  fake::files().LimitWriteSize(3000);
  EXPECT_TRUE(ExportResource(kPath, 208));
  EXPECT_TRUE(bytes == fake::files().Read(kPath));
  EXPECT_GT(fake::CallCount("WriteFile"), 1);
}

TEST(ExportResource, AWriteThatMakesNoProgressEndsWithFalse) {
  fake::resources().Add("ZIPRES", 208, std::string(10000, 'z'));
  fake::files().SetFreeSpace(4096);  // the disk fills part-way
  EXPECT_FALSE(ExportResource(kPath, 208));
  EXPECT_LE(fake::CallCount("WriteFile"), 2);
  EXPECT_FALSE(fake::files().Exists(kPath));  // no truncated archive is left behind
  EXPECT_EQ(0, fake::files().OpenHandles());
  EXPECT_EQ(0, fake::resources().Loaded());
  // A write that reports success without taking a byte ends it too.
  fake::files().SetFreeSpace(SIZE_MAX);
  fake::files().LimitWriteSize(0);
  EXPECT_FALSE(ExportResource(kPath, 208));
}

namespace {
class ExportResourceFailingStep : public testing::TestWithParam<const char*> {};
}  // namespace

TEST_P(ExportResourceFailingStep, GivesFalseAndReleasesWhatItTook) {
  fake::resources().Add("ZIPRES", 205, "payload");
  fake::Fail(GetParam());
  EXPECT_FALSE(ExportResource(kPath, 205));
  EXPECT_EQ(0, fake::resources().Loaded());
}

INSTANTIATE_TEST_SUITE_P(EachStep, ExportResourceFailingStep,
                         testing::Values("FindResourceA", "LoadResource", "LockResource", "CreateFileA", "WriteFile"),
                         [](const testing::TestParamInfo<const char*>& param) { return std::string(param.param); });

TEST(ExportResource, AFileThatCannotBeOpenedGivesFalse) {
  // A folder of that name, no folder for it, or held open.
  fake::resources().Add("ZIPRES", 205, "payload");
  fake::files().AddFolder(kPath);
  EXPECT_FALSE(ExportResource(kPath, 205));
  EXPECT_FALSE(ExportResource("C:\\no\\such\\folder\\install.zip", 205));
  fake::files().AddFile("C:\\locked.zip", "old");
  fake::files().Lock("C:\\locked.zip");
  EXPECT_FALSE(ExportResource("C:\\locked.zip", 205));
  EXPECT_EQ("old", fake::files().Read("C:\\locked.zip"));
}
