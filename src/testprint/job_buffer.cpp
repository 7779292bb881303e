#include "testprint/job_buffer.h"

#include <cstring>
#include <utility>

namespace {

constexpr unsigned char ESC = 0x1B;
constexpr unsigned char LF = 0x0A;

// The largest capacity the signed 32-bit fields can describe, in whole steps.
constexpr std::uint64_t kMaxCapacity = (0x7FFFFFFFull / kJobBufferStep) * kJobBufferStep;

bool Holds(const PrintJobBuffer* buffer) { return buffer != nullptr && buffer->data() != nullptr; }

}  // namespace

std::optional<PrintJobBuffer> PrintJobBuffer::Create() {
  os::HeapBlock block(kJobBufferStep);
  if (!block) return std::nullopt;
  return PrintJobBuffer(std::move(block));
}

PrintJobBuffer::PrintJobBuffer(PrintJobBuffer&& other) noexcept
    : block_(std::move(other.block_)), length_(other.length_) {
  other.length_ = 0;
}

PrintJobBuffer& PrintJobBuffer::operator=(PrintJobBuffer&& other) noexcept {
  block_ = std::move(other.block_);
  length_ = other.length_;
  if (this != &other) other.length_ = 0;
  return *this;
}

void AppendByte(PrintJobBuffer* buffer, unsigned char b) { AppendBytes(buffer, &b, 1); }

// Grows the block, when the append needs it, by one step or by as many steps
// as a single large append needs; the old block stays in place on failure.
bool AppendBytes(PrintJobBuffer* buffer, const void* bytes, std::uint32_t count) {
  if (!Holds(buffer) || bytes == nullptr || count == 0) return false;
  const std::uint64_t needed = static_cast<std::uint64_t>(buffer->length_) + count;
  const std::uint64_t capacity = buffer->block_.size();
  if (needed > capacity) {
    const std::uint64_t steps = (needed - capacity + kJobBufferStep - 1) / kJobBufferStep;
    const std::uint64_t grown = capacity + steps * kJobBufferStep;
    if (grown > kMaxCapacity) return false;
    os::HeapBlock block(static_cast<std::size_t>(grown));
    if (!block) return false;
    std::memcpy(block.get(), buffer->block_.get(), static_cast<std::size_t>(buffer->length_));
    buffer->block_ = std::move(block);
  }
  std::memcpy(buffer->block_.get() + buffer->length_, bytes, count);
  buffer->length_ = static_cast<std::int32_t>(needed);
  return true;
}

void AppendTextLine(PrintJobBuffer* buffer, const char* text) {
  if (!Holds(buffer)) return;
  if (text != nullptr) AppendBytes(buffer, text, static_cast<std::uint32_t>(std::strlen(text)));
  AppendLineFeed(buffer);
}

void AppendLineFeed(PrintJobBuffer* buffer) { AppendByte(buffer, LF); }

void AppendInitialize(PrintJobBuffer* buffer) {
  const unsigned char command[] = {ESC, 0x40};
  AppendBytes(buffer, command, sizeof command);
}

void AppendAlignment(PrintJobBuffer* buffer, unsigned char n) {
  AppendByte(buffer, ESC);
  AppendByte(buffer, 0x61);
  AppendByte(buffer, n);
}

void AppendLineSpacing(PrintJobBuffer* buffer, unsigned char n) {
  AppendByte(buffer, ESC);
  AppendByte(buffer, 0x33);
  AppendByte(buffer, n);
}

void AppendFeedDots(PrintJobBuffer* buffer, unsigned char n) {
  const unsigned char command[] = {ESC, 0x4A};
  AppendBytes(buffer, command, sizeof command);
  AppendByte(buffer, n);
}

void AppendEscCommand(PrintJobBuffer* buffer, unsigned char x) {
  AppendByte(buffer, ESC);
  AppendByte(buffer, x);
}
