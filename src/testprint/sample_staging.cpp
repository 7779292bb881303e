#include "testprint/sample_staging.h"

#include <optional>
#include <utility>

#include "common/control_ids.h"
#include "payload/archive_extraction.h"
#include "payload/resource_export.h"

TestPrintSession::TestPrintSession(MessageSink& messages) : messages_(messages) {}

TestPrintSession::~TestPrintSession() {
  picture_ = BitmapRecord();
  const bool removed = staging_.Remove();
  if (staged_) messages_.Step("cleaned up", removed ? "ok" : "files left in " + stagingFolder_);
}

bool TestPrintSession::StageSample() {
  staged_ = true;
  if (!staging_.Prepare()) {
    messages_.Error(kMsgTestFolderFailed);
    return false;
  }
  stagingFolder_ = staging_.PathOf("");
  picturePath_ = staging_.PathOf("sample.bmp");
  archivePath_ = staging_.PathOf("sample.zip");
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
