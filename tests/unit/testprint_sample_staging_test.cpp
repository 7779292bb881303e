// The staging that both test commands share, on its own: the sample archive
// exported and unpacked, the picture loaded, and the files gone again when
// the session ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_resources.h"
#include "support/archive_builder.h"
#include "support/case_name.h"
#include "support/recording_sink.h"
#include "support/sample_picture.h"
#include "support/staging_failures.h"
#include "testprint/sample_staging.h"

namespace {

using sample_picture::kArchive;
using sample_picture::kPicture;
using sample_picture::kStagingFolder;

// What every session leaves behind: no working folder, nothing open, loaded
// or allocated.
void ExpectSessionGone() {
  EXPECT_FALSE(fake::files().Exists(kStagingFolder));
  EXPECT_EQ(0, fake::files().OpenStreams());
  EXPECT_EQ(0, fake::resources().Loaded());
  EXPECT_EQ(0, fake::LiveBlocks());
}

class SampleStaging : public sample_picture::WithSampleResource {};


class SampleStagingFailure : public testing::TestWithParam<StagingFailure> {};

}  // namespace

TEST_F(SampleStaging, StagesALoadablePictureAndTheSessionRemovesBothFiles) {
  {
    RecordingSink sink;
    TestPrintSession session(sink);
    ASSERT_TRUE(session.StageSample());
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_TRUE(fake::files().Exists(kPicture));
    EXPECT_TRUE(fake::files().Exists(kArchive));
    ASSERT_TRUE(session.LoadPicture());
    EXPECT_GT(session.picture().width(), 0);
  }
  ExpectSessionGone();
}

TEST_F(SampleStaging, AnUnpackedFileThatIsNoPictureLoadsNothingAndIsRemoved) {
  fake::resources().Add("ZIPRES", 208, BuildArchive({{"sample.bmp", "BM not a picture"}}));
  {
    RecordingSink sink;
    TestPrintSession session(sink);
    ASSERT_TRUE(session.StageSample());
    EXPECT_FALSE(session.LoadPicture());
    EXPECT_TRUE(sink.shown.empty()) << "loading shows no message";
  }
  ExpectSessionGone();
}

TEST_P(SampleStagingFailure, ShowsItsOneMessageAndLeavesNoFile) {
  if (!GetParam().resource.empty()) fake::resources().Add("ZIPRES", 208, GetParam().resource);
  GetParam().arrange();
  {
    RecordingSink sink;
    TestPrintSession session(sink);
    EXPECT_FALSE(session.StageSample());
    EXPECT_EQ(std::vector<ShownMessage>{GetParam().message}, sink.shown);
  }
  ExpectSessionGone();
}

std::vector<StagingFailure> StagingFailures() {
  const char kError[] = "\xB4\xED\xCE\xF3";  // 错误
  // 创建测试资源解压目录失败
  const ShownMessage folderFailed{
      "\xB4\xB4\xBD\xA8\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xBD\xE2\xD1\xB9\xC4\xBF\xC2\xBC\xCA\xA7\xB0\xDC", kError};
  // 导出测试资源失败
  const ShownMessage exportFailed{"\xB5\xBC\xB3\xF6\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
  // 解压测试资源失败
  const ShownMessage extractFailed{"\xBD\xE2\xD1\xB9\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
  const std::string archive = sample_picture::Archive();
  return {
      {"a file where the working folder belongs", archive,
       [] { fake::files().AddFile("C:\\ProgramData\\Tovlan", "in the way"); }, folderFailed},
      {"no sample resource", "", [] {}, exportFailed},
      {"a full disk", archive, [] { fake::files().SetFreeSpace(1000); }, exportFailed},
      {"a resource that is no archive", std::string(5000, 'x'), [] {}, extractFailed},
  };
}

INSTANTIATE_TEST_SUITE_P(EachStep, SampleStagingFailure, testing::ValuesIn(StagingFailures()), NameByWhat());
