#include "testprint/test_page.h"

namespace {

// GBK in the program (the sources are compiled with -fexec-charset=GBK).
constexpr const char kBanner[] = "==测试程序专用==";
constexpr const char kStart[] = "========开始测试========";
constexpr const char kEnglish[] = "English character display";
constexpr const char kChinese[] = "中文字符显示";
constexpr const char kLeft[] = "左对齐";
constexpr const char kCentre[] = "居中对齐";
constexpr const char kRight[] = "右对齐";
constexpr const char kPictureTitle[] = "图片测试";
constexpr const char kDone[] = "========测试完成========";

constexpr unsigned char kAlignLeft = 0;
constexpr unsigned char kAlignCentre = 1;
constexpr unsigned char kAlignRight = 2;
constexpr unsigned char kDarkThreshold = 200;
constexpr unsigned char kMode24Dot = 0x21;
constexpr unsigned char kFinalFeedDots = 200;
constexpr unsigned char kCut = 0x6D;  // ESC m

int Rows(const BitmapRecord* picture) {
  if (picture == nullptr) return 0;
  return picture->height() < 0 ? (picture->height() == INT32_MIN ? INT32_MAX : -picture->height())
                               : picture->height();
}

}  // namespace

void ComposeTestPage(PrintJobBuffer* buffer, const char* heading, const BitmapRecord* picture) {
  AppendInitialize(buffer);
  AppendAlignment(buffer, kAlignCentre);
  AppendTextLine(buffer, heading);
  AppendTextLine(buffer, kBanner);
  AppendTextLine(buffer, kStart);

  // Each section starts from the printer's power-on formatting (left aligned).
  AppendInitialize(buffer);
  AppendTextLine(buffer, kEnglish);
  AppendInitialize(buffer);
  AppendTextLine(buffer, kChinese);

  AppendInitialize(buffer);
  AppendAlignment(buffer, kAlignLeft);
  AppendTextLine(buffer, kLeft);
  AppendAlignment(buffer, kAlignCentre);
  AppendTextLine(buffer, kCentre);
  AppendAlignment(buffer, kAlignRight);
  AppendTextLine(buffer, kRight);

  AppendInitialize(buffer);
  AppendAlignment(buffer, kAlignCentre);
  AppendTextLine(buffer, kPictureTitle);
  if (picture != nullptr) {
    AppendBitImage(buffer, picture, picture->width(), Rows(picture), true, kDarkThreshold, kMode24Dot);
  }
  AppendLineFeed(buffer);
  AppendTextLine(buffer, kDone);

  AppendFeedDots(buffer, kFinalFeedDots);
  AppendFeedDots(buffer, kFinalFeedDots);
  AppendEscCommand(buffer, kCut);
}
