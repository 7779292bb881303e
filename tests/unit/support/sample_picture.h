// The sample archive and picture that the build generates, for the tests of
// the two test-print commands: the archive goes into the fake module as
// resource ZIPRES 208, and a reference page is composed from the picture.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "fake_os/fake_files.h"
#include "fake_os/fake_resources.h"
#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"
#include "testprint/test_page.h"
#include "support/working_folder.h"

namespace sample_picture {

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first command's working folder and the two sample files in it.
inline const std::string kStagingFolder = kFirstWorkingFolder;
inline const std::string kPicture = kStagingFolder + "\\sample.bmp";
inline const std::string kArchive = kStagingFolder + "\\sample.zip";

inline const std::string& Archive() {
  static const std::string bytes = Slurp(LUMATREK_GENERATED_DIR "/sample.zip");
  return bytes;
}

// The page composed straight from the generated picture, outside the staging
// folder, to compare a command's output with.
inline std::string ReferencePage(const std::string& heading) {
  const char path[] = "C:\\reference\\sample.bmp";
  fake::files().AddFile(path, Slurp(LUMATREK_GENERATED_DIR "/sample.bmp"));
  const std::optional<BitmapRecord> picture = BitmapRecord::Load(path);
  std::optional<PrintJobBuffer> page = PrintJobBuffer::Create();
  if (!picture || !page) return std::string();
  ComposeTestPage(&*page, heading.c_str(), &*picture);
  return std::string(reinterpret_cast<const char*>(page->data()), static_cast<std::size_t>(page->length()));
}

// A fixture for the test commands: the program's sample archive as its
// "ZIPRES" resource 208, as the real program carries it.
class WithSampleResource : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Archive().empty()) << "sample archive not generated";
    fake::resources().Add("ZIPRES", 208, Archive());
  }
};

}  // namespace sample_picture
