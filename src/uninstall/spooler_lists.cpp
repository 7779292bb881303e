#include "uninstall/spooler_lists.h"

#include <functional>

namespace {

// Which sizing outcomes let the list go on to the filling call.
enum class SizingRule {
  kNeedsInsufficientBuffer,  // only a call that asks for a bigger buffer
  kAcceptsSuccess,           // also a call that succeeds (there is nothing to list)
};

// The shared pattern: size, allocate the reported bytes, fill. `enumerate`
// runs the platform's enumeration with a buffer and its size.
template <typename Record>
SpoolerList<Record> ReadList(SizingRule rule,
                             const std::function<os::BOOL(os::BYTE*, os::DWORD, os::DWORD*, os::DWORD*)>& enumerate) {
  os::DWORD needed = 0;
  os::DWORD returned = 0;
  // A sizing call that succeeds leaves the last error alone; clear it so that
  // a stale ERROR_INSUFFICIENT_BUFFER from an earlier call is not read as this one's.
  os::SetLastError(os::ERROR_SUCCESS);
  const os::BOOL sized = enumerate(nullptr, 0, &needed, &returned);
  const bool wantsBuffer = os::GetLastError() == os::ERROR_INSUFFICIENT_BUFFER;
  if (rule == SizingRule::kNeedsInsufficientBuffer && !wantsBuffer) return {};
  if (rule == SizingRule::kAcceptsSuccess && !sized && !wantsBuffer) return {};
  os::ScopedHandle<SpoolerBlockTraits> block(os::malloc(needed));
  if (!block.valid()) return {};
  if (!enumerate(static_cast<os::BYTE*>(block.get()), needed, &needed, &returned)) return {};
  return SpoolerList<Record>(block.release(), returned);
}

}  // namespace

SpoolerList<os::DRIVER_INFO_3A> ListPrinterDrivers() {
  // A spooler without any driver answers the sizing call with success: that
  // is an empty list, not a failure (else removing the last driver would make
  // the next model's removal, and the whole uninstall, fail).
  return ReadList<os::DRIVER_INFO_3A>(
      SizingRule::kAcceptsSuccess,
      [](os::BYTE* buffer, os::DWORD size, os::DWORD* needed, os::DWORD* returned) {
        return os::EnumPrinterDriversA(nullptr, nullptr, 3, buffer, size, needed, returned);
      });
}

SpoolerList<os::PRINTER_INFO_2A> ListPrinters() {
  return ReadList<os::PRINTER_INFO_2A>(
      SizingRule::kAcceptsSuccess, [](os::BYTE* buffer, os::DWORD size, os::DWORD* needed, os::DWORD* returned) {
        return os::EnumPrintersA(os::PRINTER_ENUM_LOCAL | os::PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer, size,
                                 needed, returned);
      });
}

SpoolerList<os::JOB_INFO_1A> ListJobs(os::HANDLE printer, os::DWORD jobCount) {
  return ReadList<os::JOB_INFO_1A>(
      SizingRule::kNeedsInsufficientBuffer,
      [printer, jobCount](os::BYTE* buffer, os::DWORD size, os::DWORD* needed, os::DWORD* returned) {
        return os::EnumJobsA(printer, 0, jobCount, 1, buffer, size, needed, returned);
      });
}
