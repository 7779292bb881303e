// The staging folder is writable by every user while the program runs
// elevated: a link planted where a staged file goes must never be written
// through.
#include <gtest/gtest.h>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_resources.h"
#include "payload/archive_extraction.h"
#include "payload/folders.h"
#include "payload/resource_export.h"
#include "support/archive_builder.h"

namespace {

const char* const kStaging = "C:\\ProgramData\\Tovlan\\lumatrek\\";
const char* const kVictim = "C:\\Windows\\System32\\drivers\\etc\\hosts";

}  // namespace

TEST(PlantedLinks, ExportReplacesALinkAtTheArchivePathInsteadOfWritingThroughIt) {
  fake::files().AddFile(kVictim, "system file");
  fake::files().AddFolder(kStaging);
  const std::string archive = std::string(kStaging) + "sample.zip";
  fake::files().AddLink(archive, kVictim);
  fake::resources().Add("ZIPRES", 208, "archive bytes");
  EXPECT_TRUE(ExportResource(archive, 208));
  EXPECT_EQ("system file", fake::files().Read(kVictim));
  EXPECT_FALSE(fake::files().IsLink(archive));
  EXPECT_EQ("archive bytes", fake::files().Read(archive));
}

TEST(PlantedLinks, ExtractionReplacesALinkAtAnEntrysPath) {
  fake::files().AddFile(kVictim, "system file");
  fake::files().AddFolder(kStaging);
  fake::files().AddLink(std::string(kStaging) + "sample.bmp", kVictim);
  fake::files().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\sample.zip",
                        BuildArchive({{"sample.bmp", "picture bytes"}}));
  EXPECT_EQ(0, ExtractArchive("C:\\ProgramData\\Tovlan\\lumatrek\\sample.zip", kStaging, nullptr));
  EXPECT_EQ("system file", fake::files().Read(kVictim));
  EXPECT_EQ("picture bytes", fake::files().Read(std::string(kStaging) + "sample.bmp"));
}

TEST(PlantedLinks, ALinkThatCannotBeRemovedStopsTheWrite) {
  fake::files().AddFile(kVictim, "system file");
  fake::files().AddFolder(kStaging);
  const std::string archive = std::string(kStaging) + "install.zip";
  fake::files().AddLink(archive, kVictim);
  fake::Fail("DeleteFileA");
  fake::resources().Add("ZIPRES", 205, "archive bytes");
  EXPECT_FALSE(ExportResource(archive, 205));
  EXPECT_EQ("system file", fake::files().Read(kVictim));
  EXPECT_TRUE(ClearFileName(std::string(kStaging) + "plain-missing-file"));
}

TEST(PlantedLinks, AHardLinkAtAStagedFileIsNeverWrittenThrough) {
  // Export and extraction each create their file anew rather than opening
  // the existing name, which would reach the other file's bytes.
  const std::string archive = std::string(kStaging) + "sample.zip";
  const std::string picture = std::string(kStaging) + "sample.bmp";
  fake::files().AddFile(kVictim, "system file");
  fake::files().AddHardLink(archive, kVictim);
  fake::resources().Add("ZIPRES", 208, BuildArchive({{"sample.bmp", "picture bytes"}}));
  EXPECT_TRUE(ExportResource(archive, 208));
  fake::files().AddHardLink(picture, kVictim);
  EXPECT_EQ(0, ExtractArchive(archive, kStaging, nullptr));
  EXPECT_EQ("system file", fake::files().Read(kVictim));
  EXPECT_EQ("picture bytes", fake::files().Read(picture));
  EXPECT_EQ(0, fake::files().OpenHandles());
}

TEST(PlantedLinks, ALinkPlantedBetweenClearingAndCreatingIsNotFollowed) {
  // Another program puts a link to a missing system file at the name just
  // after it was cleared: the creation opens the name itself and fails.
  const std::string archive = std::string(kStaging) + "install.zip";
  const std::string target = "C:\\Windows\\System32\\planted.dll";
  fake::files().AddFolder(kStaging);
  fake::files().AddFolder("C:\\Windows\\System32");
  fake::resources().Add("ZIPRES", 205, "archive bytes");
  fake::OnNthCall("CreateFileA", 1, [&] { fake::files().AddLink(archive, target); });
  EXPECT_FALSE(ExportResource(archive, 205));
  EXPECT_FALSE(fake::files().Exists(target));
}
