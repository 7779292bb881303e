#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "payload/archive_extraction.h"
#include "support/archive_builder.h"
#include "support/case_name.h"

namespace {

const char* const kArchive = "C:\\ProgramData\\Tovlan\\lumatrek\\install.zip";
const char* const kDest = "C:\\ProgramData\\Tovlan\\lumatrek\\install\\";

fake::FileSystem& fs() { return fake::files(); }

void PutArchive(const std::vector<ArchiveEntry>& entries) { fs().AddFile(kArchive, BuildArchive(entries)); }

// Nothing stays open or allocated, whatever the outcome.
void ExpectAllReleased() {
  EXPECT_EQ(0, fs().OpenStreams());
  EXPECT_EQ(0, fs().OpenHandles());
  EXPECT_EQ(0, fake::LiveBlocks());
}

}  // namespace

TEST(ExtractArchive, UnpacksFoldersAndFilesUnderTheDestination) {
  const std::string big(100000, 'q');  // spans several 16384-byte chunks
  PutArchive({{"amd64/", "", true}, {"amd64/lumatrek.dll", "MZ64"}, {"lumatrek.inf", "[Version]\r\n"},
              {"big.bin", big}, {"i386/", "", true}, {"i386/lumatrek.dll", "MZ32"}});
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_EQ((std::vector<std::string>{"amd64", "big.bin", "i386", "lumatrek.inf"}), fs().List(kDest));
  EXPECT_EQ("MZ64", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\amd64\\lumatrek.dll"));
  EXPECT_EQ("MZ32", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\i386\\lumatrek.dll"));
  EXPECT_EQ("[Version]\r\n", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\lumatrek.inf"));
  EXPECT_TRUE(big == fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\big.bin"));
  ExpectAllReleased();
}

TEST(ExtractArchive, AnEmptyArchiveCreatesOnlyTheDestination) {
  // minizip takes an end record at offset 0 for a missing one, so a bare
  // 22-byte empty archive cannot be opened; behind a stub (as in a
  // self-extractor) the same record opens with no entries.
  fs().AddFile(kArchive, BuildArchive({}));
  EXPECT_EQ(-102, ExtractArchive(kArchive, kDest, nullptr));
  fs().AddFile(kArchive, "stub" + BuildArchive({}));
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_TRUE(fs().IsFolder(kDest));
  EXPECT_TRUE(fs().List(kDest).empty());
  ExpectAllReleased();
}

TEST(ExtractArchive, AnArchiveThatCannotBeOpenedGivesTheLibrarysCode) {
  EXPECT_EQ(-102, ExtractArchive(kArchive, kDest, nullptr));  // missing
  EXPECT_TRUE(fs().IsFolder(kDest));                           // the destination came first
  fs().AddFile(kArchive, "This is not a zip archive at all, just some text.");
  EXPECT_EQ(-102, ExtractArchive(kArchive, kDest, nullptr));
  fs().AddFile(kArchive, "");
  EXPECT_EQ(-102, ExtractArchive(kArchive, kDest, nullptr));
  ExpectAllReleased();
}

TEST(ExtractArchive, ADestinationThatCannotBeCreatedFailsBeforeTheArchiveIsOpened) {
  EXPECT_EQ(-1, ExtractArchive(kArchive, "Q:\\nowhere\\", nullptr));
  fs().AddFile("C:\\blocked", "a file where the folder should be");
  EXPECT_EQ(-1, ExtractArchive(kArchive, "C:\\blocked\\dest\\", nullptr));
  EXPECT_EQ(0, fake::CallCount("ReadFile"));
}

TEST(ExtractArchive, ExistingFilesAreReplacedAndEmptyEntriesGiveEmptyFiles) {
  fs().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a.txt", std::string(500, 'o'));
  fs().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\install\\empty.txt", "old");
  PutArchive({{"a.txt", "new"}, {"empty.txt", ""}});
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_EQ("new", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a.txt"));
  EXPECT_TRUE(fs().Exists("C:\\ProgramData\\Tovlan\\lumatrek\\install\\empty.txt"));
  EXPECT_EQ("", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\empty.txt"));
}

TEST(ExtractArchive, AFileWhoseFolderEntryIsMissingFails) {
  PutArchive({{"first.txt", "1"}, {"sub/file.txt", "x"}, {"last.txt", "3"}});
  EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_EQ("1", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\first.txt"));  // stays
  EXPECT_FALSE(fs().Exists("C:\\ProgramData\\Tovlan\\lumatrek\\install\\last.txt"));
  ExpectAllReleased();
}

TEST(ExtractArchive, APasswordCannotBeUsed) {
  PutArchive({{"dir/", "", true}, {"dir/a.txt", "a"}});
  EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, "secret"));
  EXPECT_TRUE(fs().IsFolder("C:\\ProgramData\\Tovlan\\lumatrek\\install\\dir"));  // folders come first
  EXPECT_FALSE(fs().Exists("C:\\ProgramData\\Tovlan\\lumatrek\\install\\dir\\a.txt"));
  ExpectAllReleased();
}

TEST(ExtractArchive, NamesThatLeaveTheDestinationAreRefused) {
  fs().AddFolder("C:\\ProgramData\\Tovlan\\lumatrek\\install\\sub");
  const std::vector<std::string> names = {
      "../escaped.txt",        "sub/../../escaped.txt", "sub\\..\\..\\escaped.txt", "/escaped.txt",
      "\\escaped.txt",         "C:/escaped.txt",        "C:escaped.txt",            "sub/.. /../escaped.txt",
      "sub/.../escaped.txt",   "ok.txt:stream",         "../",
  };
  for (const std::string& name : names) {
    PutArchive({{name, "evil", name.back() == '/'}});
    EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr)) << name;
    EXPECT_FALSE(fs().Exists("C:\\ProgramData\\Tovlan\\lumatrek\\escaped.txt")) << name;
    EXPECT_FALSE(fs().Exists("C:\\escaped.txt")) << name;
    EXPECT_EQ((std::vector<std::string>{"sub"}), fs().List(kDest)) << name;
  }
  // Dots inside a name are fine.
  PutArchive({{"a..b.txt", "fine"}, {"sub/.hidden", "h"}});
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_EQ("fine", fs().Read("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a..b.txt"));
  ExpectAllReleased();
}

TEST(ExtractArchive, ANameTooLongForTheNameBufferIsRefusedNotCut) {
  const std::string name = std::string(300, 'n') + ".txt";
  PutArchive({{name, "x"}});
  EXPECT_EQ(-1, ExtractArchive(kArchive, "C:\\d\\", nullptr));
  EXPECT_TRUE(fs().List("C:\\d").empty());
}

namespace {
struct LocalFailure {
  const char* what;
  std::function<void()> arrange;
};

class ExtractArchiveLocalFailure : public testing::TestWithParam<LocalFailure> {};
}  // namespace

TEST_P(ExtractArchiveLocalFailure, EndsWithMinusOneAndReleasesEverything) {
  PutArchive({{"d/", "", true}, {"a.txt", "text"}});
  GetParam().arrange();
  EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr));
  ExpectAllReleased();
}

INSTANTIATE_TEST_SUITE_P(
    EachCase, ExtractArchiveLocalFailure,
    testing::Values(
        LocalFailure{"no chunk buffer", [] { fake::Fail("malloc"); }},
        LocalFailure{"output held open elsewhere",
                     [] {
                       fs().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a.txt", "locked");
                       fs().Lock("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a.txt");
                     }},
        LocalFailure{"a folder in the file's place",
                     [] { fs().AddFolder("C:\\ProgramData\\Tovlan\\lumatrek\\install\\a.txt"); }},
        LocalFailure{"folder entry cannot be created",
                     [] { fs().AddFile("C:\\ProgramData\\Tovlan\\lumatrek\\install\\d", ""); }}),
    NameByWhat());

TEST(ExtractArchive, ADamagedEntryFailsTheExtraction) {
  // Damaged deflated data (a read error), a checksum that does not match the
  // stored bytes (seen only when the entry is closed), and an entry cut short.
  std::string inflate = BuildArchive({{"damaged.bin", std::string(50000, 'd') + "tail"}, {"next.txt", "next"}});
  // The first entry's deflated data starts after its 30-byte local header and name.
  for (std::size_t i = 30 + 11 + 5; i < 30 + 11 + 40; ++i) inflate[i] = static_cast<char>(inflate[i] ^ 0x5A);
  std::string checksum = BuildArchive({{"damaged.bin", "payload"}, {"next.txt", "next"}});
  const std::size_t central = checksum.find("PK\x01\x02");
  ASSERT_NE(std::string::npos, central);
  // The first entry's CRC-32, in its local header and in the central directory alike.
  for (const std::size_t at : {std::size_t{14}, central + 16}) checksum[at] = static_cast<char>(checksum[at] ^ 0x01);
  // A stated size one byte past the data: the library reports the data's end
  // as the entry's end and skips the checksum of an entry not read in full.
  std::string cut = BuildArchive({{"damaged.bin", "payload"}, {"next.txt", "next"}});
  for (const std::size_t at : {std::size_t{22}, cut.find("PK\x01\x02") + 24}) cut[at] = static_cast<char>(cut[at] + 1);
  for (const std::string& bytes : {inflate, checksum, cut}) {
    fake::Reset();
    fs().AddFile(kArchive, bytes);
    EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr));
    EXPECT_FALSE(fs().Exists(std::string(kDest) + "next.txt"));
    ExpectAllReleased();
  }
}

TEST(ExtractArchive, AFullDiskFailsInsteadOfLeavingAShortFile) {
  PutArchive({{"lumatrek.dll", std::string(40000, 'M')}, {"next.txt", "next"}});
  fs().SetFreeSpace(20000);
  EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_FALSE(fs().Exists(std::string(kDest) + "next.txt"));
  ExpectAllReleased();
}

TEST(ExtractArchive, DeviceNamesAreRefusedInEveryComponent) {
  for (const std::string name : {"CON", "nul.txt", "sub/COM1", "LPT9.log", "aux", "PRN .x", "CONOUT$", "sub/NUL/x"}) {
    PutArchive({{name, "to a device"}});
    EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr)) << name;
    EXPECT_TRUE(fs().List(kDest).empty()) << name;
  }
  // Names that merely begin like a device are files.
  PutArchive({{"CONSOLE.txt", "1"}, {"COM10", "2"}, {"nul_file", "3"}, {"LPT", "4"}, {"COM0", "5"}});
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_EQ(5u, fs().List(kDest).size());
}

TEST(ExtractArchive, AnEntryOverSixtyFourMebibytesIsRefusedBeforeWriting) {
  PutArchive({{"huge.bin", std::string(64u * 1024 * 1024 + 1, '\0')}});
  EXPECT_EQ(-1, ExtractArchive(kArchive, kDest, nullptr));
  EXPECT_TRUE(fs().List(kDest).empty());
}

TEST(ExtractArchive, ThePayloadArchiveUnpacksIntoTheNineFilesAndTwoFolders) {
  std::ifstream in(std::string(LUMATREK_GENERATED_DIR) + "/install.zip", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  fs().AddFile(kArchive, bytes);
  EXPECT_EQ(0, ExtractArchive(kArchive, kDest, nullptr));
  std::vector<std::string> root = fs().List(kDest);
  const auto certificate = std::find_if(root.begin(), root.end(), [](const std::string& n) {
    return n == "build-signer.cer" || n == "publisher.cer";
  });
  ASSERT_NE(root.end(), certificate) << "the signer certificate";
  root.erase(certificate);
  EXPECT_EQ((std::vector<std::string>{"amd64", "i386", "lumatrek.cat", "lumatrek.gpd", "lumatrek.inf",
                                      "lumatrek.ini", "lumatrek80.cat", "lumatrek80.gpd", "lumatrek80.inf",
                                      "lumatrek80.ini"}),
            root);
  for (const char* arch : {"amd64", "i386"}) {
    EXPECT_EQ((std::vector<std::string>{"lumatrek.dll", "lumatrek80.dll"}),
              fs().List(std::string(kDest) + arch));
  }
  ExpectAllReleased();
}
