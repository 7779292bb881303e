// The staging both test commands share: the sample archive exported to the
// staging folder and unpacked there, the picture loaded, and everything
// removed again when the command ends.
#pragma once
#include <string>

#include "common/messages.h"
#include "payload/staging_folder.h"
#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"

inline constexpr const char kMsgTestFolderFailed[] = "创建测试资源解压目录失败";
inline constexpr const char kMsgTestExportFailed[] = "导出测试资源失败";
inline constexpr const char kMsgTestExtractFailed[] = "解压测试资源失败";
inline constexpr const char kMsgTestPortWriteFailed[] = "测试端口写入失败";

// Owns one test command's page buffer and picture. On destruction, in this
// order: frees the page, deletes the unpacked picture and the exported
// archive when they exist (also leftovers of an earlier run) and the staging
// folder is a plain folder (StagingFolder::HoldExisting), and releases
// the picture's pixels. The staging folder stays.
class TestPrintSession {
 public:
  TestPrintSession();
  ~TestPrintSession();
  TestPrintSession(const TestPrintSession&) = delete;
  TestPrintSession& operator=(const TestPrintSession&) = delete;

  // Claims a fresh staging folder (see StagingFolder; any failure there is
  // the folder message), exports resource 208 and unpacks it; shows the
  // message of the first failing step and returns false.
  bool StageSample(MessageSink& messages);
  // Loads the unpacked picture; false (and no message: the command shows
  // kMsgTestExtractFailed) when it cannot.
  bool LoadPicture();

  PrintJobBuffer page{};
  BitmapRecord picture{};
  const std::string picturePath;
  const std::string archivePath;
  const std::string stagingFolder;
  StagingFolder staging;

 private:
  MessageSink* reporter_ = nullptr;  // of StageSample, told when the files are removed
};
