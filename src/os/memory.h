// Heap blocks for lists and buffers whose allocation may fail (the fake OS can
// make any allocation fail, so every "out of memory" path is testable).
#pragma once
#include <cstddef>

namespace os {

// Returns a block of `size` bytes (a size of 0 still yields a block), or null.
void* malloc(std::size_t size);
// Releases a block from os::malloc; null is ignored.
void free(void* block);

// One owner per heap block, released on every path; movable, never copied.
// A failed allocation leaves no block (size 0).
class HeapBlock {
 public:
  HeapBlock() = default;
  explicit HeapBlock(std::size_t size)
      : data_(static_cast<unsigned char*>(os::malloc(size))), size_(data_ != nullptr ? size : 0) {}
  ~HeapBlock() { os::free(data_); }
  HeapBlock(HeapBlock&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  HeapBlock& operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
      os::free(data_);
      data_ = other.data_;
      size_ = other.size_;
      other.data_ = nullptr;
      other.size_ = 0;
    }
    return *this;
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  unsigned char* get() const { return data_; }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace os
