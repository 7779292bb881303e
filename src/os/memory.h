// Heap blocks for lists and buffers whose allocation may fail (the fake OS can
// make any allocation fail, so every "out of memory" path is testable).
#pragma once
#include <cstddef>
#include <utility>

#include "os/scoped_handle.h"

namespace os {

// Returns a block of `size` bytes (a size of 0 still yields a block), or null.
void* malloc(std::size_t size);
// Releases a block from os::malloc; null is ignored.
void free(void* block);

// One owner per heap block, released on every path; movable, never copied.
// A failed allocation leaves no block (size 0).
using HeapBlockTraits = NullIsEmptyTraits<unsigned char*, &os::free>;
// A block from malloc and its size (0 when the allocation failed).
class HeapBlock : public ScopedHandle<HeapBlockTraits> {
 public:
  HeapBlock() = default;
  explicit HeapBlock(std::size_t size) : ScopedHandle(static_cast<unsigned char*>(os::malloc(size))) {
    size_ = valid() ? size : 0;
  }
  HeapBlock(HeapBlock&& other) noexcept : ScopedHandle(std::move(other)), size_(std::exchange(other.size_, 0)) {}
  HeapBlock& operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
      ScopedHandle::operator=(std::move(other));
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  std::size_t size() const { return size_; }

 private:
  std::size_t size_ = 0;
};

}  // namespace os
