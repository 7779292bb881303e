#include "raster_rows.h"

namespace raster {
namespace {

constexpr std::uint8_t kESC = 0x1B;
constexpr std::uint8_t kGS = 0x1D;
constexpr std::uint32_t kMaxFeed = 255;
constexpr std::size_t kBlockHead = 8;
// The kick's pulse: on 50 ms, off 500 ms (units of 2 ms).
constexpr std::uint8_t kPulseOn = 25;
constexpr std::uint8_t kPulseOff = 250;

}  // namespace

RasterWriter::RasterWriter(CommandOutput& out, std::uint32_t paperDots, const JobSettings& settings)
    : out_(out), paperBytes_(paperDots / 8), settings_(settings) {}

void RasterWriter::TakeJobFrom(const RasterWriter& other) {
  settings_ = other.settings_;
  pendingFeed_ = other.pendingFeed_;
  pageOpen_ = other.pageOpen_;
  failed_ = other.failed_;
}

bool RasterWriter::StartJob() {
  const std::uint8_t init[] = {kESC, '@'};
  pendingFeed_ = 0;
  pageOpen_ = false;
  if (Command(init, sizeof init) == nullptr) return false;
  if (settings_.drawer == Drawer::kBeforeJob && !WriteKick()) return false;
  return Flush();
}

void RasterWriter::StartPage() {
  if (pageOpen_ && settings_.cutEachPage && settings_.cut != Cut::kNone) {
    pendingFeed_ = 0;
    if (WriteCut()) Flush();
  }
  pendingFeed_ = 0;
  pageOpen_ = true;
}

// Whether the printer prints dot `x` of a row: the band covers [left, left + widthDots).
bool RasterWriter::PrinterDot(const Band& band, std::uint32_t row, std::uint32_t x) const {
  if (x < band.left || x - band.left >= band.widthDots) return false;
  const std::uint32_t px = x - band.left;
  const bool set = (band.bits[row * band.stride + px / 8] & (0x80 >> (px % 8))) != 0;
  return set == band.setBitIsBlack;
}

// Printer bytes have a set bit for a printed dot.
std::uint8_t RasterWriter::PrinterByte(const Band& band, std::uint32_t row, std::uint32_t column) const {
  std::uint8_t out = 0;
  for (std::uint32_t bit = 0; bit < 8; ++bit) {
    if (PrinterDot(band, row, column * 8 + bit)) out |= static_cast<std::uint8_t>(0x80 >> bit);
  }
  return out;
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
  if (failed_) return false;
  pageOpen_ = true;
  // A block is at most one buffer, so that a cancelled job has little to complete.
  std::uint32_t blockRows = paperBytes_ == 0 ? kMaxBlockRows : (kBufferBytes - kBlockHead) / paperBytes_;
  if (blockRows > kMaxBlockRows) blockRows = kMaxBlockRows;
  std::uint32_t row = 0;
  while (row < band.rows) {
    if (RowIsBlank(band, row)) {
      AddBlankRows(1);
      ++row;
      continue;
    }
    std::uint32_t count = 1;
    while (row + count < band.rows && count < blockRows && !RowIsBlank(band, row + count)) ++count;
    if (!WriteFeed()) return false;
    const std::uint8_t header[kBlockHead] = {kGS,
                                             'v',
                                             '0',
                                             0,
                                             static_cast<std::uint8_t>(paperBytes_ & 0xFF),
                                             static_cast<std::uint8_t>(paperBytes_ >> 8),
                                             static_cast<std::uint8_t>(count & 0xFF),
                                             static_cast<std::uint8_t>(count >> 8)};
    std::uint8_t* data = Command(header, sizeof header, static_cast<std::size_t>(paperBytes_) * count);
    if (data == nullptr) return false;
    for (std::uint32_t r = row; r < row + count; ++r) {
      for (std::uint32_t column = 0; column < paperBytes_; ++column) *data++ = PrinterByte(band, r, column);
    }
    row += count;
  }
  return Flush();
}

void RasterWriter::AddBlankRows(std::uint32_t rows) {
  pageOpen_ = true;
  pendingFeed_ = rows > UINT32_MAX - pendingFeed_ ? UINT32_MAX : pendingFeed_ + rows;
}

bool RasterWriter::EndJob() {
  pendingFeed_ = 0;
  pageOpen_ = false;
  if (settings_.cut != Cut::kNone && !WriteCut()) return false;
  if (settings_.drawer == Drawer::kAfterJob && !WriteKick()) return false;
  return Flush();
}

bool RasterWriter::WriteFeed() {
  if (settings_.longestGap != 0 && pendingFeed_ > settings_.longestGap) pendingFeed_ = settings_.longestGap;
  while (pendingFeed_ > 0) {
    const std::uint32_t step = pendingFeed_ < kMaxFeed ? pendingFeed_ : kMaxFeed;
    const std::uint8_t feed[] = {kESC, 'J', static_cast<std::uint8_t>(step)};
    if (Command(feed, sizeof feed) == nullptr) return false;
    pendingFeed_ -= step;
  }
  return true;
}

bool RasterWriter::WriteCut() {
  const std::uint8_t cut[] = {kGS, 'V', static_cast<std::uint8_t>(settings_.cut == Cut::kFull ? 'A' : 'B'),
                              settings_.cutFeed};
  return Command(cut, sizeof cut) != nullptr;
}

bool RasterWriter::WriteKick() {
  const std::uint8_t kick[] = {kESC, 'p', static_cast<std::uint8_t>(settings_.drawerPin != 0 ? 1 : 0), kPulseOn,
                               kPulseOff};
  return Command(kick, sizeof kick) != nullptr;
}

std::uint8_t* RasterWriter::Command(const std::uint8_t* head, std::size_t headSize, std::size_t dataSize) {
  const std::size_t size = headSize + dataSize;
  if (failed_ || size > kBufferBytes) {
    failed_ = true;
    return nullptr;
  }
  if (used_ + size > kBufferBytes && !Flush()) return nullptr;
  marks_[commands_++] = Mark{static_cast<std::uint16_t>(used_), static_cast<std::uint16_t>(headSize)};
  for (std::size_t i = 0; i < headSize; ++i) buffer_[used_ + i] = head[i];
  std::uint8_t* data = buffer_ + used_ + headSize;
  used_ += size;
  return data;
}

bool RasterWriter::Flush() {
  if (failed_) return false;
  std::size_t taken = 0;
  if (used_ > 0 && (!out_.Write(buffer_, used_, &taken) || taken < used_)) {
    failed_ = true;
    Abort(taken < used_ ? taken : used_);
  }
  used_ = 0;
  commands_ = 0;
  return !failed_;
}

// The printer took `taken` bytes of the buffer: the command it is inside is
// completed (its header as it was, its data blank), then the printer is reset.
void RasterWriter::Abort(std::size_t taken) {
  static const std::uint8_t kBlank[256] = {};
  for (std::size_t i = 0; i < commands_; ++i) {
    const std::size_t start = marks_[i].start;
    const std::size_t end = i + 1 < commands_ ? marks_[i + 1].start : used_;
    if (taken <= start || taken >= end) continue;
    const std::size_t headEnd = start + marks_[i].head;
    if (taken < headEnd) out_.WriteAbort(buffer_ + taken, headEnd - taken);
    for (std::size_t at = taken > headEnd ? taken : headEnd; at < end;) {
      const std::size_t step = end - at < sizeof kBlank ? end - at : sizeof kBlank;
      out_.WriteAbort(kBlank, step);
      at += step;
    }
  }
  const std::uint8_t init[] = {kESC, '@'};
  out_.WriteAbort(init, sizeof init);
}

}  // namespace raster
