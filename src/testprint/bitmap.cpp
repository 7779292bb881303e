#include "testprint/bitmap.h"

#include <climits>

#include "os/files.h"

namespace {

constexpr int kSeekSet = 0;
constexpr int kSeekCur = 1;

// Reads exactly `size` bytes, repeating short reads; false when the file ends first.
bool ReadFully(os::FILE* stream, void* buffer, std::size_t size) {
  auto* at = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const std::size_t got = os::fread(at, 1, size, stream);
    if (got == 0 || got > size) return false;
    at += got;
    size -= got;
  }
  return true;
}

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t LeS32(const unsigned char* p) { return static_cast<std::int32_t>(Le32(p)); }

bool ReadU16(os::FILE* stream, std::uint16_t* value) {
  unsigned char bytes[2];
  if (!ReadFully(stream, bytes, sizeof bytes)) return false;
  *value = Le16(bytes);
  return true;
}

bool ReadU32(os::FILE* stream, std::uint32_t* value) {
  unsigned char bytes[4];
  if (!ReadFully(stream, bytes, sizeof bytes)) return false;
  *value = Le32(bytes);
  return true;
}

bool ReadHeaders(os::FILE* stream, BitmapHeaders* r) {
  if (!ReadU16(stream, &r->type) || !ReadU32(stream, &r->fileSize) ||
      !ReadU16(stream, &r->reserved1) || !ReadU16(stream, &r->reserved2) ||
      !ReadU32(stream, &r->pixelDataOffset)) {
    return false;
  }
  unsigned char info[40];
  if (!ReadFully(stream, info, sizeof info)) return false;
  r->headerSize = Le32(info + 0);
  r->width = LeS32(info + 4);
  r->height = LeS32(info + 8);
  r->planes = Le16(info + 12);
  r->bitsPerPixel = Le16(info + 14);
  r->compression = Le32(info + 16);
  r->imageSize = Le32(info + 20);
  r->horizontalResolution = LeS32(info + 24);
  r->verticalResolution = LeS32(info + 28);
  r->coloursUsed = Le32(info + 32);
  r->importantColours = Le32(info + 36);
  return true;
}

// Reads the rows into the block. Stored rows are padded to a multiple of 4
// bytes; the padding is skipped so that each row in the block is width bytes.
bool ReadRows(os::FILE* stream, unsigned char* block, std::size_t width, std::size_t rows) {
  const long padding = static_cast<long>((4 - width % 4) % 4);
  for (std::size_t y = 0; y < rows; ++y) {
    if (!ReadFully(stream, block + y * width, width)) return false;
    if (padding != 0 && y + 1 < rows && os::fseek(stream, padding, kSeekCur) != 0) return false;
  }
  return true;
}

std::int64_t Magnitude(std::int32_t v) { return v < 0 ? -static_cast<std::int64_t>(v) : v; }

unsigned char Pixel(const BitmapRecord* r, std::int64_t x, std::int64_t y) {
  if (r->pixels() == nullptr || r->width() <= 0 || x < 0 || y < 0) return 255;
  if (x >= r->width() || y >= Magnitude(r->height())) return 255;
  const std::uint64_t at = static_cast<std::uint64_t>(y) * static_cast<std::uint64_t>(r->width()) +
                           static_cast<std::uint64_t>(x);
  return at < r->pixelBlockSize() ? r->pixels()[at] : 255;
}

}  // namespace

std::optional<BitmapRecord> BitmapRecord::Load(const char* path) {
  if (path == nullptr) return std::nullopt;
  os::FileStream file(path, "rb");
  if (!file) return std::nullopt;
  BitmapHeaders h;
  if (!ReadHeaders(file.get(), &h)) return std::nullopt;
  if (h.bitsPerPixel != 8) return std::nullopt;
  // A top-down file (negative height) is refused, as is any size the block
  // could not hold or a receipt printer would never need.
  if (h.width < 0 || h.height < 0) return std::nullopt;
  if (h.width > kMaxBitmapSide || h.height > kMaxBitmapSide) return std::nullopt;
  const std::uint64_t size = static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
  if (size > kMaxBitmapPixels) return std::nullopt;
  if (h.pixelDataOffset > static_cast<std::uint32_t>(LONG_MAX)) return std::nullopt;
  if (os::fseek(file.get(), static_cast<long>(h.pixelDataOffset), kSeekSet) != 0) return std::nullopt;
  os::HeapBlock block(static_cast<std::size_t>(size));
  if (!block) return std::nullopt;
  if (!ReadRows(file.get(), block.get(), static_cast<std::size_t>(h.width), static_cast<std::size_t>(h.height))) {
    return std::nullopt;
  }
  return BitmapRecord(h, std::move(block));
}

void AppendBitImage(PrintJobBuffer* buffer, const BitmapRecord* record, int width, int height,
                    bool lineFeedAfterBand, unsigned char threshold, unsigned char mode) {
  if (record == nullptr) return;
  if (width <= 0) width = record->width() > 0 ? record->width() : 0;
  if (width > kMaxBitImageColumns) width = kMaxBitImageColumns;
  std::int64_t rows = height > 0 ? height : Magnitude(record->height());
  const int band = (mode == 0x20 || mode == 0x21) ? 24 : 8;
  rows = (rows + band - 1) / band * band;

  AppendLineSpacing(buffer, 0);
  for (std::int64_t s = 0; s < rows; s += band) {
    const unsigned char command[] = {0x1B, 0x2A, mode, static_cast<unsigned char>(width % 256),
                                     static_cast<unsigned char>(width / 256)};
    AppendBytes(buffer, command, sizeof command);
    AppendBandColumns(buffer, record, width, band, static_cast<int>(s), threshold);
    if (lineFeedAfterBand) AppendLineFeed(buffer);
  }
}

void AppendBandColumns(PrintJobBuffer* buffer, const BitmapRecord* record, int columns,
                       int bandHeight, int firstRow, unsigned char threshold) {
  if (record == nullptr) return;
  for (int x = 0; x < columns; ++x) {
    unsigned char byte = 0;
    for (int i = 0; i < bandHeight; ++i) {
      const int p = i % 8;
      if (p == 0) byte = 0;
      const std::int64_t y = static_cast<std::int64_t>(firstRow) + i;
      if (Pixel(record, x, y) < threshold) byte |= static_cast<unsigned char>(0x80 >> p);
      if (p == 7) AppendByte(buffer, byte);
    }
  }
}
