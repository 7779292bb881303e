// 8-bit bitmap files and their conversion into the printer's bit-image bands
// (ESC * m nL nH, column-major, most significant bit on top).
#pragma once
#include <cstddef>
#include <cstdint>

#include "testprint/job_buffer.h"

// The file header and info header of a loaded bitmap, then its pixel block.
struct BitmapRecord {
  std::uint16_t type;
  std::uint32_t fileSize;
  std::uint16_t reserved1;
  std::uint16_t reserved2;
  std::uint32_t pixelDataOffset;
  std::uint32_t headerSize;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t planes;
  std::uint16_t bitsPerPixel;
  std::uint32_t compression;
  std::uint32_t imageSize;
  std::int32_t horizontalResolution;
  std::int32_t verticalResolution;
  std::uint32_t coloursUsed;
  std::uint32_t importantColours;
  // abs(height) rows of exactly width bytes, row 0 as first stored in the
  // file; owned by the record (os::malloc), released by FreeBitmapRecord.
  unsigned char* pixels;
  // Size of the pixel block; no pixel is read at or beyond it.
  std::size_t pixelBlockSize;
};

// Largest pixel block the loader accepts (far above any receipt picture).
inline constexpr std::size_t kMaxBitmapPixels = 64u * 1024u * 1024u;
// Largest width or height the loader accepts. The block bound alone would let
// a picture 0 pixels wide claim 2^31 rows: nothing to read, yet every row is
// walked and every band of the bit image is sent.
inline constexpr std::int32_t kMaxBitmapSide = 65535;
// Widest bit image sent to the printer, in columns.
inline constexpr int kMaxBitImageColumns = 1024;

// Reads an uncompressed 8-bit file ("rb") into `record`: both headers, then
// the pixel rows from the pixel data offset on (each stored row padded to a
// multiple of 4 bytes, as the format stores them). False, with no block held,
// for a null argument, an unopenable file, a depth other than 8, a negative or
// oversized width or height, a file that ends early or a failed allocation.
// The file is closed on every path.
bool LoadBitmapFile(const char* path, BitmapRecord* record);
// Releases the pixel block; harmless when repeated.
void FreeBitmapRecord(BitmapRecord* record);

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
