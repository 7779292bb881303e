// The print job buffer: a growable run of raw bytes into which a test page is
// composed before it is sent whole, and the emitters of the printer commands
// the page uses. A buffer exists only with its first block (Create); every
// operation ignores a null buffer or one whose block was moved away.
#pragma once
#include <cstdint>
#include <optional>
#include <utility>

#include "os/memory.h"

// Size of the first block and of every growth step.
inline constexpr std::int32_t kJobBufferStep = 1024000;

class PrintJobBuffer {
 public:
  // The first block: length 0, capacity one step; nothing when the
  // allocation fails.
  [[nodiscard]] static std::optional<PrintJobBuffer> Create();

  const unsigned char* data() const { return block_.get(); }
  std::int32_t length() const { return length_; }    // bytes composed so far
  std::int32_t capacity() const { return static_cast<std::int32_t>(block_.size()); }  // whole steps

  PrintJobBuffer(PrintJobBuffer&& other) noexcept;
  PrintJobBuffer& operator=(PrintJobBuffer&& other) noexcept;

 private:
  explicit PrintJobBuffer(os::HeapBlock block) : block_(std::move(block)) {}
  friend bool AppendBytes(PrintJobBuffer* buffer, const void* bytes, std::uint32_t count);

  os::HeapBlock block_;
  std::int32_t length_ = 0;
};

// Appends `count` bytes at the end, growing the block by as many steps as the
// append needs. False, with nothing appended, for null bytes, a count of 0 or
// a failed growth; the earlier contents always stay intact.
bool AppendBytes(PrintJobBuffer* buffer, const void* bytes, std::uint32_t count);

// One byte, as AppendBytes.
void AppendByte(PrintJobBuffer* buffer, unsigned char b);

// The text's bytes without its NUL, then LF. An empty text yields LF alone.
void AppendTextLine(PrintJobBuffer* buffer, const char* text);
// LF (0A): print the line and advance.
void AppendLineFeed(PrintJobBuffer* buffer);
// ESC @ (1B 40): back to the power-on formatting.
void AppendInitialize(PrintJobBuffer* buffer);
// ESC a n (1B 61 n): 0 left, 1 centre, 2 right.
void AppendAlignment(PrintJobBuffer* buffer, unsigned char n);
// ESC 3 n (1B 33 n): line spacing of n dots.
void AppendLineSpacing(PrintJobBuffer* buffer, unsigned char n);
// ESC J n (1B 4A n): print and feed n dots.
void AppendFeedDots(PrintJobBuffer* buffer, unsigned char n);
// ESC x (1B x): a two-byte command such as the cut, ESC m.
void AppendEscCommand(PrintJobBuffer* buffer, unsigned char x);
