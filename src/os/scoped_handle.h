// One owner for every kind of handle the program holds: a registry key, a
// file, a printer, a socket, a certificate store, a heap block. Traits say how
// the kind is closed and which values own nothing:
//   struct Traits {
//     using Handle = ...;
//     static Handle InvalidValue();          // what an empty owner holds
//     static bool IsValid(Handle h);         // false for every value that owns nothing
//     static void Close(Handle h);           // called once, only for a valid handle
//   };
// An owner closes what it holds when it goes, when it is reset and when it is
// assigned over; it can be moved, never copied, and release() hands the handle
// on without closing it.
#pragma once

#include <utility>

namespace os {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }

  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return valid(); }

  // Closes what is held (if anything) and takes `handle` instead.
  void reset(Handle handle = Traits::InvalidValue()) {
    const Handle old = std::exchange(handle_, handle);
    if (Traits::IsValid(old) && old != handle) Traits::Close(old);
  }
  // Gives up ownership without closing.
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::InvalidValue()); }

  // For calls that hand a new handle back through a pointer
  // (RegOpenKeyExA(..., key.receive())): what was held is closed first.
  [[nodiscard]] Handle* receive() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::InvalidValue();
};

// Traits of the kinds whose empty value is null and whose close call takes
// the handle alone; what the call answers tells nothing to act on.
template <typename H, auto CloseFunction>
struct NullIsEmptyTraits {
  using Handle = H;
  static Handle InvalidValue() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { static_cast<void>(CloseFunction(h)); }
};

}  // namespace os
