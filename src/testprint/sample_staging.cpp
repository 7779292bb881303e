#include "testprint/sample_staging.h"

#include <optional>
#include <utility>

#include "common/control_ids.h"
#include "os/files.h"
#include "payload/archive_extraction.h"
#include "payload/resource_export.h"
#include "payload/working_path.h"

TestPrintSession::TestPrintSession(MessageSink& messages)
    : messages_(messages),
      picturePath_(WorkingPath("lumatrek\\sample.bmp")),
      archivePath_(WorkingPath("lumatrek\\sample.zip")),
      stagingFolder_(WorkingPath("lumatrek\\")) {}

TestPrintSession::~TestPrintSession() {
  // Only in a staging folder held as a plain folder: never through a link
  // found on the way.
  if (staging_.ready() || staging_.HoldExisting()) {
    if (os::PathFileExistsA(picturePath_.c_str())) os::DeleteFileA(picturePath_.c_str());
    if (os::PathFileExistsA(archivePath_.c_str())) os::DeleteFileA(archivePath_.c_str());
  }
  picture_ = BitmapRecord();
  if (staged_) {
    const bool left = os::PathFileExistsA(picturePath_.c_str()) || os::PathFileExistsA(archivePath_.c_str());
    messages_.Step("cleaned up", left ? "files left in " + stagingFolder_ : "ok");
  }
}

bool TestPrintSession::StageSample() {
  staged_ = true;
  if (staging_.Prepare() != StagingFolder::Claim::Ready) {
    messages_.Error(kMsgTestFolderFailed);
    return false;
  }
  if (!ExportResource(archivePath_, IDR_SAMPLE_ZIP)) {
    messages_.Error(kMsgTestExportFailed);
    return false;
  }
  if (ExtractArchive(archivePath_, stagingFolder_, nullptr) != 0) {
    messages_.Error(kMsgTestExtractFailed);
    return false;
  }
  messages_.Step("staged", picturePath_);
  return true;
}

bool TestPrintSession::LoadPicture() {
  std::optional<BitmapRecord> loaded = BitmapRecord::Load(picturePath_.c_str());
  if (!loaded) return false;
  picture_ = std::move(*loaded);
  return true;
}
