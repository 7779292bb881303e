#include "raster_rows.h"

namespace raster {
namespace {

constexpr std::uint8_t kESC = 0x1B;
constexpr std::uint8_t kGS = 0x1D;
constexpr std::uint32_t kMaxFeed = 255;

// The bits of byte `column` that lie within `widthDots`.
std::uint8_t UsedBits(std::uint32_t widthDots, std::uint32_t column) {
  const std::uint32_t first = column * 8;
  if (first + 8 <= widthDots) return 0xFF;
  if (first >= widthDots) return 0x00;
  return static_cast<std::uint8_t>(0xFF << (8 - (widthDots - first)));
}

}  // namespace

RasterWriter::RasterWriter(CommandOutput& out, std::uint32_t paperDots) : out_(out), paperBytes_(paperDots / 8) {}

bool RasterWriter::StartJob() {
  const std::uint8_t init[] = {kESC, '@'};
  pendingFeed_ = 0;
  return Put(init, sizeof init) && Flush();
}

// Printer bytes have a set bit for a printed dot.
std::uint8_t RasterWriter::PrinterByte(const Band& band, std::uint32_t row, std::uint32_t column) const {
  const std::uint32_t bandBytes = (band.widthDots + 7) / 8;
  if (column >= bandBytes) return 0;
  const std::uint8_t raw = band.bits[row * band.stride + column];
  const std::uint8_t black = band.setBitIsBlack ? raw : static_cast<std::uint8_t>(~raw);
  return black & UsedBits(band.widthDots, column);
}

bool RasterWriter::RowIsBlank(const Band& band, std::uint32_t row) const {
  for (std::uint32_t column = 0; column < paperBytes_; ++column) {
    if (PrinterByte(band, row, column) != 0) return false;
  }
  return true;
}

bool RasterWriter::AddBand(const Band& band) {
  if (band.bits == nullptr || band.stride < (band.widthDots + 7) / 8) {
    failed_ = true;
    return false;
  }
  std::uint32_t row = 0;
  while (row < band.rows) {
    if (RowIsBlank(band, row)) {
      AddBlankRows(1);
      ++row;
      continue;
    }
    std::uint32_t count = 1;
    while (row + count < band.rows && count < kMaxBlockRows && !RowIsBlank(band, row + count)) ++count;
    if (!WriteFeed()) return false;
    const std::uint8_t header[] = {kGS,
                                   'v',
                                   '0',
                                   0,
                                   static_cast<std::uint8_t>(paperBytes_ & 0xFF),
                                   static_cast<std::uint8_t>(paperBytes_ >> 8),
                                   static_cast<std::uint8_t>(count & 0xFF),
                                   static_cast<std::uint8_t>(count >> 8)};
    if (!Put(header, sizeof header)) return false;
    for (std::uint32_t r = row; r < row + count; ++r) {
      for (std::uint32_t column = 0; column < paperBytes_; ++column) {
        const std::uint8_t b = PrinterByte(band, r, column);
        if (!Put(&b, 1)) return false;
      }
    }
    row += count;
  }
  return Flush();
}

void RasterWriter::AddBlankRows(std::uint32_t rows) { pendingFeed_ += rows; }

void RasterWriter::EndPage() { pendingFeed_ = 0; }

bool RasterWriter::EndJob() {
  EndPage();
  const std::uint8_t cut[] = {kGS, 'V', 'B', 0};
  return Put(cut, sizeof cut) && Flush();
}

bool RasterWriter::WriteFeed() {
  while (pendingFeed_ > 0) {
    const std::uint32_t step = pendingFeed_ < kMaxFeed ? pendingFeed_ : kMaxFeed;
    const std::uint8_t feed[] = {kESC, 'J', static_cast<std::uint8_t>(step)};
    if (!Put(feed, sizeof feed)) return false;
    pendingFeed_ -= step;
  }
  return true;
}

bool RasterWriter::Put(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (used_ == sizeof buffer_ && !Flush()) return false;
    buffer_[used_++] = bytes[i];
  }
  return !failed_;
}

bool RasterWriter::Flush() {
  if (failed_) return false;
  if (used_ > 0 && !out_.Write(buffer_, used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}

}  // namespace raster
