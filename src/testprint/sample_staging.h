// The staging both test commands share: the sample archive exported to the
// staging folder and unpacked there, the picture loaded, and everything
// removed again when the command ends.
#pragma once
#include <string>

#include "common/messages.h"
#include "payload/staging_folder.h"
#include "testprint/bitmap.h"

inline constexpr const char kMsgTestFolderFailed[] = "创建测试资源解压目录失败";
inline constexpr const char kMsgTestExportFailed[] = "导出测试资源失败";
inline constexpr const char kMsgTestExtractFailed[] = "解压测试资源失败";
inline constexpr const char kMsgTestPortWriteFailed[] = "测试端口写入失败";

// Owns one test command's working folder and picture. Takes the command's
// message sink first, so the sink (declared before the session) outlives it.
// On destruction it releases the picture's pixels and removes the working
// folder with everything in it; after StageSample it reports the clean-up.
class TestPrintSession {
 public:
  explicit TestPrintSession(MessageSink& messages);
  ~TestPrintSession();
  TestPrintSession(const TestPrintSession&) = delete;
  TestPrintSession& operator=(const TestPrintSession&) = delete;

  // Makes the command's working folder (see StagingFolder; a failure there
  // is the folder message), exports resource 208 into it and unpacks it;
  // shows the message of the first failing step and returns false.
  [[nodiscard]] bool StageSample();
  // Loads the unpacked picture; false (and no message: the command shows
  // kMsgTestExtractFailed) when it cannot.
  [[nodiscard]] bool LoadPicture();

  // The loaded picture; blank before LoadPicture succeeds. The paths are ""
  // before StageSample made the working folder.
  const BitmapRecord& picture() const { return picture_; }
  const std::string& picturePath() const { return picturePath_; }
  const std::string& archivePath() const { return archivePath_; }
  const std::string& stagingFolder() const { return stagingFolder_; }

 private:
  MessageSink& messages_;
  bool staged_ = false;  // StageSample ran: the clean-up is reported
  BitmapRecord picture_;
  std::string picturePath_;
  std::string archivePath_;
  std::string stagingFolder_;
  StagingFolder staging_;
};
