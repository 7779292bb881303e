// The staging folder is writable by every user while the program runs
// elevated: a link planted where a staged file goes must never be written
// through.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/checked_open.h"
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

// What the program creates or reads is judged by the path its handle really
// reaches: a folder above that became a mount point (an empty folder can be
// made one while held with write sharing) or a junction leads the open
// elsewhere, and the open is refused instead of writing or reading there.
TEST(PlantedLinks, AnOpenThatReachesAnotherPlaceThanItsPathIsRefused) {
  const std::string theirs = "C:\\Users\\mallory\\staged";
  const std::string folder = std::string(kStaging) + "install";
  struct Case {
    const char* what;
    std::function<bool()> open;  // true when the open went ahead
  };
  const std::vector<Case> cases = {
      {"a new file whose empty folder becomes a mount point as it is created",
       [&] {
         fake::files().AddFolder(folder);
         fake::OnNthCall("CreateFileA", 1, [&] { ASSERT_TRUE(fake::files().MakeMountPoint(folder, theirs)); });
         fake::resources().Add("ZIPRES", 205, "archive bytes");
         const bool exported = ExportResource(folder + "\\install.zip", 205);
         EXPECT_EQ("", fake::files().Read(theirs + "\\install.zip")) << "nothing written there";
         return exported;
       }},
      {"an archive read through a junction",
       [&] {
         fake::files().AddFile(theirs + "\\install.zip", BuildArchive({{"lumatrek.inf", "theirs"}}));
         fake::files().AddLink(folder, theirs);
         return ExtractArchive(folder + "\\install.zip", std::string(kStaging) + "out\\", nullptr) != -102;
       }},
      {"a certificate read through a junction",
       [&] {
         fake::files().AddFile(theirs + "\\publisher.cer", "their certificate");
         fake::files().AddLink(folder, theirs);
         std::string bytes;
         return ReadCheckedFile(folder + "\\publisher.cer", 65536, bytes);
       }},
      {"a file held for the printer UI through a junction",
       [&] {
         fake::files().AddFile(theirs + "\\lumatrek.inf", "theirs");
         fake::files().AddLink(folder, theirs);
         os::OwnedHandle inf(HoldFileForReading(folder + "\\lumatrek.inf"));
         return inf.valid();
       }},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::files().AddFolder(theirs);
    EXPECT_FALSE(c.open()) << c.what;
    EXPECT_EQ(0, fake::files().OpenHandles()) << c.what;
  }
}
