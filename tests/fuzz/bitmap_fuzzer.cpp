// Feeds arbitrary file bytes to the bitmap loader and turns whatever it
// accepts into printer bit-image bands. The header's two reserved words, which
// the loader keeps but never interprets, choose the band mode, threshold,
// line feeds and the width and height asked for, so one input covers all of
// AppendBitImage's parameters. Besides ASan/UBSan, the band stream is checked
// for the shape the printer relies on.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"

namespace {

constexpr char kPath[] = "C:\\ProgramData\\sample.bmp";

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "bitmap_fuzzer: %s\n", what);
    std::abort();
  }
}

struct Request {
  int width;
  int height;
  bool lineFeed;
  unsigned char threshold;
  unsigned char mode;
};

Request RequestFrom(const BitmapHeaders& r) {
  static const unsigned char kModes[] = {0x00, 0x01, 0x20, 0x21};
  Request q;
  q.mode = kModes[r.reserved1 & 3];
  q.threshold = static_cast<unsigned char>(r.reserved1 >> 8);
  q.lineFeed = (r.reserved2 & 1) != 0;
  const int widthCode = (r.reserved2 >> 1) & 0xFF;   // 0 takes the record's width
  const int heightCode = (r.reserved2 >> 9) & 0x7F;  // 0 takes the record's height
  q.width = widthCode == 0 ? 0 : widthCode * 5 - 40;  // up to 1235, past the 1024 limit
  q.height = heightCode == 0 ? 0 : heightCode * 3 - 30;
  return q;
}

// The stream AppendBitImage promises: ESC 3 0, then per band ESC * mode nL nH,
// columns x (band height / 8) data bytes and an optional LF.
void CheckBands(const PrintJobBuffer& job, const BitmapRecord& r, const Request& q) {
  std::int64_t columns = q.width > 0 ? q.width : r.width();
  if (columns > kMaxBitImageColumns) columns = kMaxBitImageColumns;
  const std::int64_t rows = q.height > 0 ? q.height : r.height();
  const int band = (q.mode == 0x20 || q.mode == 0x21) ? 24 : 8;
  const std::int64_t bands = (rows + band - 1) / band;
  const std::int64_t bandBytes = 5 + columns * (band / 8) + (q.lineFeed ? 1 : 0);
  Require(job.length() == 3 + bands * bandBytes, "band stream has the wrong length");
  Require(std::memcmp(job.data(), "\x1B\x33\x00", 3) == 0, "stream does not start with ESC 3 0");
  for (std::int64_t b = 0; b < bands; ++b) {
    const unsigned char* at = job.data() + 3 + b * bandBytes;
    const unsigned char head[] = {0x1B, 0x2A, q.mode, static_cast<unsigned char>(columns & 0xFF),
                                  static_cast<unsigned char>(columns >> 8)};
    Require(std::memcmp(at, head, sizeof head) == 0, "band does not start with ESC * m nL nH");
    if (q.lineFeed) Require(at[bandBytes - 1] == 0x0A, "band does not end with LF");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fake::Reset();
  fake::files().AddFile(kPath, std::string(reinterpret_cast<const char*>(data), size));

  {
    const std::optional<BitmapRecord> record = BitmapRecord::Load(kPath);
    Require(fake::files().OpenStreams() == 0, "the loader left the file open");
    if (!record) {
      Require(fake::LiveBlocks() == 0, "a refused file leaked a heap block");
      return 0;
    }
    Require(record->headers().bitsPerPixel == 8, "accepted a depth other than 8");
    Require(record->width() >= 0 && record->height() >= 0, "accepted a negative size");
    Require(record->pixelBlockSize() ==
                static_cast<std::size_t>(record->width()) * static_cast<std::size_t>(record->height()),
            "pixel block size is not width x height");

    const Request q = RequestFrom(record->headers());
    std::optional<PrintJobBuffer> job = PrintJobBuffer::Create();
    Require(job.has_value(), "job buffer could not be set up");
    AppendBitImage(&*job, &*record, q.width, q.height, q.lineFeed, q.threshold, q.mode);
    CheckBands(*job, *record, q);
  }
  Require(fake::LiveBlocks() == 0, "a heap block outlived the record and the job");
  return 0;
}
