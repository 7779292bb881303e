// Lists read from the print spooler with a sizing call and a filling call.
// Each list owns its heap block (records first, their strings behind) and
// frees it when it goes out of scope, so the caller releases it on every path.
#pragma once
#include <utility>

#include "os/memory.h"
#include "os/os_types.h"
#include "os/scoped_handle.h"
#include "os/spooler.h"

// A block from os::malloc, freed with os::free.
using SpoolerBlockTraits = os::NullIsEmptyTraits<void*, &os::free>;

template <typename Record>
class SpoolerList {
 public:
  // "Nothing": the list could not be read.
  SpoolerList() = default;
  // Takes over `block` (from os::malloc) holding `count` records.
  SpoolerList(void* block, os::DWORD count) : block_(block), count_(count) {}
  SpoolerList(SpoolerList&& other) noexcept
      : block_(std::move(other.block_)), count_(std::exchange(other.count_, 0)) {}
  SpoolerList& operator=(SpoolerList&& other) noexcept {
    if (this != &other) {
      block_ = std::move(other.block_);
      count_ = std::exchange(other.count_, 0);
    }
    return *this;
  }

  // True when the list was read (it may still hold no records).
  explicit operator bool() const { return block_.valid(); }
  os::DWORD count() const { return count_; }
  Record* begin() const { return static_cast<Record*>(block_.get()); }
  Record* end() const { return begin() + count_; }

 private:
  os::ScopedHandle<SpoolerBlockTraits> block_;
  os::DWORD count_ = 0;
};

// The local machine's printer drivers (level 3, the caller's environment). A
// sizing call that succeeds gives a list of no drivers; nothing only when it
// fails with another error than ERROR_INSUFFICIENT_BUFFER, or when allocating
// or filling fails.
[[nodiscard]] SpoolerList<os::DRIVER_INFO_3A> ListPrinterDrivers();
// Local and connected printers (level 2). A sizing call that succeeds gives a
// list of no printers; nothing only when it fails with another error than
// ERROR_INSUFFICIENT_BUFFER, or when allocating or filling fails.
[[nodiscard]] SpoolerList<os::PRINTER_INFO_2A> ListPrinters();
// Up to `jobCount` jobs of the open printer, from the first (level 1).
// Nothing unless the sizing call reports ERROR_INSUFFICIENT_BUFFER.
[[nodiscard]] SpoolerList<os::JOB_INFO_1A> ListJobs(os::HANDLE printer, os::DWORD jobCount);
