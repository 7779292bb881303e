// Heap blocks for lists and buffers whose allocation may fail (the fake OS can
// make any allocation fail, so every "out of memory" path is testable).
#pragma once
#include <cstddef>

namespace os {

// Returns a block of `size` bytes (a size of 0 still yields a block), or null.
void* malloc(std::size_t size);
// Releases a block from os::malloc; null is ignored.
void free(void* block);

// One owner per heap block, released on every path.
class HeapBlock {
 public:
  explicit HeapBlock(std::size_t size) : data_(static_cast<unsigned char*>(os::malloc(size))) {}
  ~HeapBlock() { os::free(data_); }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  unsigned char* get() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  unsigned char* data_;
};

}  // namespace os
