// 8-bit bitmap files and their conversion into the printer's bit-image bands
// (ESC * m nL nH, column-major, most significant bit on top).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "os/memory.h"
#include "testprint/job_buffer.h"

// The file header and info header of a bitmap file.
struct BitmapHeaders {
  std::uint16_t type = 0;
  std::uint32_t fileSize = 0;
  std::uint16_t reserved1 = 0;
  std::uint16_t reserved2 = 0;
  std::uint32_t pixelDataOffset = 0;
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t horizontalResolution = 0;
  std::int32_t verticalResolution = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t importantColours = 0;
};

// A picture: its headers and the pixel block it owns. A default picture has
// no pixels and is blank everywhere.
class BitmapRecord {
 public:
  BitmapRecord() = default;
  // `pixels` holds abs(height) rows of exactly width bytes, row 0 first; no
  // pixel is read at or beyond its size.
  BitmapRecord(const BitmapHeaders& headers, os::HeapBlock pixels)
      : headers_(headers), pixels_(std::move(pixels)) {}

  // Reads an uncompressed 8-bit file ("rb"): both headers, then the pixel
  // rows from the pixel data offset on (each stored row padded to a multiple
  // of 4 bytes, as the format stores them). Nothing for a null path, an
  // unopenable file, a depth other than 8, a negative or oversized width or
  // height, a file that ends early or a failed allocation. The file is closed
  // on every path.
  [[nodiscard]] static std::optional<BitmapRecord> Load(const char* path);

  const BitmapHeaders& headers() const { return headers_; }
  std::int32_t width() const { return headers_.width; }
  std::int32_t height() const { return headers_.height; }
  const unsigned char* pixels() const { return pixels_.get(); }
  std::size_t pixelBlockSize() const { return pixels_.size(); }

 private:
  BitmapHeaders headers_;
  os::HeapBlock pixels_;
};

// Largest pixel block the loader accepts (far above any receipt picture).
inline constexpr std::size_t kMaxBitmapPixels = 64u * 1024u * 1024u;
// Largest width or height the loader accepts. The block bound alone would let
// a picture 0 pixels wide claim 2^31 rows: nothing to read, yet every row is
// walked and every band of the bit image is sent.
inline constexpr std::int32_t kMaxBitmapSide = 65535;
// Widest bit image sent to the printer, in columns.
inline constexpr int kMaxBitImageColumns = 1024;

// Appends ESC 3 0 and then one band after another: 1B 2A mode nL nH, the band's
// column bytes and (when asked) LF. width/height <= 0 take the record's width
// and abs(height); the width is limited to 1024 columns and the height rounded
// up to whole bands (24 rows for modes 0x20 and 0x21, else 8). A pixel prints
// when its value is below `threshold`. Nothing is appended for a null record.
void AppendBitImage(PrintJobBuffer* buffer, const BitmapRecord* record, int width, int height,
                    bool lineFeedAfterBand, unsigned char threshold, unsigned char mode);

// The data bytes of one band: for each of `columns` columns, bandHeight / 8
// bytes from row firstRow down. Pixels outside the picture are blank.
void AppendBandColumns(PrintJobBuffer* buffer, const BitmapRecord* record, int columns,
                       int bandHeight, int firstRow, unsigned char threshold);
