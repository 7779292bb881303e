#include "testprint/sample_staging.h"

#include "common/control_ids.h"
#include "os/files.h"
#include "payload/archive_extraction.h"
#include "payload/resource_export.h"
#include "payload/working_path.h"

TestPrintSession::TestPrintSession()
    : picturePath(WorkingPath("lumatrek\\sample.bmp")),
      archivePath(WorkingPath("lumatrek\\sample.zip")),
      stagingFolder(WorkingPath("lumatrek\\")) {}

TestPrintSession::~TestPrintSession() {
  FreeJobBuffer(&page);
  // Only in a staging folder held as a plain folder: never through a link
  // found on the way.
  if (staging.ready() || staging.HoldExisting()) {
    if (os::PathFileExistsA(picturePath.c_str())) os::DeleteFileA(picturePath.c_str());
    if (os::PathFileExistsA(archivePath.c_str())) os::DeleteFileA(archivePath.c_str());
  }
  FreeBitmapRecord(&picture);
  if (reporter_ != nullptr) {
    const bool left = os::PathFileExistsA(picturePath.c_str()) || os::PathFileExistsA(archivePath.c_str());
    reporter_->Step("cleaned up", left ? "files left in " + stagingFolder : "ok");
  }
}

bool TestPrintSession::StageSample(MessageSink& messages) {
  reporter_ = &messages;
  if (staging.Prepare() != StagingFolder::Claim::Ready) {
    messages.Error(kMsgTestFolderFailed);
    return false;
  }
  if (!ExportResource(archivePath, IDR_SAMPLE_ZIP)) {
    messages.Error(kMsgTestExportFailed);
    return false;
  }
  if (ExtractArchive(archivePath, stagingFolder, nullptr) != 0) {
    messages.Error(kMsgTestExtractFailed);
    return false;
  }
  messages.Step("staged", picturePath);
  return true;
}

bool TestPrintSession::LoadPicture() { return LoadBitmapFile(picturePath.c_str(), &picture); }
