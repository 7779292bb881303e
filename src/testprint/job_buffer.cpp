#include "testprint/job_buffer.h"

#include <cstring>

#include "os/memory.h"

namespace {

constexpr unsigned char ESC = 0x1B;
constexpr unsigned char LF = 0x0A;

// The largest capacity the signed 32-bit fields can describe, in whole steps.
constexpr std::uint64_t kMaxCapacity = (0x7FFFFFFFull / kJobBufferStep) * kJobBufferStep;

bool Holds(const PrintJobBuffer* buffer) { return buffer != nullptr && buffer->data != nullptr; }

void AppendByte(PrintJobBuffer* buffer, unsigned char b) { AppendBytes(buffer, &b, 1); }

// Makes room for `count` more bytes: one step normally, more when a single
// append is larger than a step. The old block stays in place on failure.
bool Grow(PrintJobBuffer* buffer, std::uint32_t count) {
  const std::uint64_t needed = static_cast<std::uint64_t>(buffer->length) + count;
  const std::uint64_t capacity = static_cast<std::uint64_t>(buffer->capacity);
  const std::uint64_t steps = (needed - capacity + kJobBufferStep - 1) / kJobBufferStep;
  const std::uint64_t grown = capacity + steps * kJobBufferStep;
  if (grown > kMaxCapacity) return false;
  auto* block = static_cast<unsigned char*>(os::malloc(static_cast<std::size_t>(grown)));
  if (block == nullptr) return false;
  std::memcpy(block, buffer->data, static_cast<std::size_t>(buffer->length));
  os::free(buffer->data);
  buffer->data = block;
  buffer->capacity = static_cast<std::int32_t>(grown);
  return true;
}

}  // namespace

bool InitJobBuffer(PrintJobBuffer* buffer) {
  if (buffer == nullptr) return false;
  buffer->data = static_cast<unsigned char*>(os::malloc(kJobBufferStep));
  buffer->length = 0;
  buffer->capacity = buffer->data != nullptr ? kJobBufferStep : 0;
  return buffer->data != nullptr;
}

void FreeJobBuffer(PrintJobBuffer* buffer) {
  if (buffer == nullptr) return;
  os::free(buffer->data);
  buffer->data = nullptr;
  buffer->length = 0;
  buffer->capacity = 0;
}

bool AppendBytes(PrintJobBuffer* buffer, const void* bytes, std::uint32_t count) {
  if (!Holds(buffer) || bytes == nullptr || count == 0) return false;
  const std::uint64_t needed = static_cast<std::uint64_t>(buffer->length) + count;
  if (needed > static_cast<std::uint64_t>(buffer->capacity) && !Grow(buffer, count)) return false;
  std::memcpy(buffer->data + buffer->length, bytes, count);
  buffer->length = static_cast<std::int32_t>(needed);
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
