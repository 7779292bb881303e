#include "testprint/usb_transport.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "os/devices.h"
#include "os/files.h"

namespace {

// GUID_DEVINTERFACE_USB_DEVICE: the device is found through the USB printer
// interface class but opened through the USB device interface class.
constexpr const char kUsbDeviceInterfaceClass[] = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

// One overlapped transfer: the record the system completes and the bytes it
// reads or fills, kept apart from the caller's.
struct Transfer {
  os::OVERLAPPED overlapped{};
  std::vector<os::BYTE> bytes;
};

// Transfers whose cancellation did not finish in time; the system may still use them.
std::vector<std::unique_ptr<Transfer>>& AbandonedTransfers() {
  static std::vector<std::unique_ptr<Transfer>> transfers;
  return transfers;
}

}  // namespace

std::string UsbDevicePath(const std::string& stem) {
  std::string prepared = stem;
  if (!prepared.empty()) os::CharUpperBuffA(&prepared[0], static_cast<os::DWORD>(prepared.size()));
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    if (prepared[i] == '\\') prepared[i] = '#';
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(prepared[i]))) ++i;  // a trail byte 0x5C stays
  }
  std::vector<char> path(prepared.size() + sizeof kUsbDeviceInterfaceClass + 8);
  std::snprintf(path.data(), path.size(), "\\\\?\\%s#%s", prepared.c_str(), kUsbDeviceInterfaceClass);
  return path.data();
}

os::HANDLE OpenUsbDevice(const std::string& stem) {
  if (stem.empty()) return os::INVALID_HANDLE_VALUE;
  return os::CreateFileA(UsbDevicePath(stem).c_str(), os::GENERIC_READ | os::GENERIC_WRITE,
                         os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                         os::FILE_FLAG_OVERLAPPED, nullptr);
}

bool TransferOnUsbDevice(os::HANDLE device, UsbTransfer kind, os::BYTE* bytes, os::DWORD length, os::DWORD waitMs,
                         os::DWORD* moved) {
  *moved = 0;
  // The record (no event of its own: the device handle is signalled when the
  // transfer completes) and a copy of the bytes.
  auto t = std::make_unique<Transfer>();
  t->bytes.assign(bytes, bytes + length);
  bool started = false;
  if (kind == UsbTransfer::Read) {
    started = os::ReadFile(device, t->bytes.data(), length, nullptr, &t->overlapped) != os::FALSE;
  } else {
    if (kind == UsbTransfer::WriteAtEnd) {
      // A device ignores the offset; a file standing in for one (a test
      // fixture, a printer port mapped to a file) gets the bytes at its end
      // rather than over what is at its start. Both halves set: append.
      t->overlapped.Offset = 0xFFFFFFFFu;
      t->overlapped.OffsetHigh = 0xFFFFFFFFu;
    }
    started = os::WriteFile(device, t->bytes.data(), length, nullptr, &t->overlapped) != os::FALSE;
  }
  if (!started && os::GetLastError() != os::ERROR_IO_PENDING) return false;

  if (os::WaitForSingleObject(device, waitMs) == os::WAIT_OBJECT_0) {
    if (!os::GetOverlappedResult(device, &t->overlapped, moved, os::FALSE)) return false;
    if (kind == UsbTransfer::Read) {
      for (os::DWORD i = 0; i < *moved && i < length; ++i) bytes[i] = t->bytes[i];
    }
    return true;
  }

  // Not done in time: cancel the transfer and give the cancellation a
  // bounded time to finish.
  os::CancelIo(device);
  os::DWORD cancelled = 0;
  if (os::WaitForSingleObject(device, kUsbCancelTimeoutMs) == os::WAIT_OBJECT_0) {
    os::GetOverlappedResult(device, &t->overlapped, &cancelled, os::FALSE);
  } else {
    // Still in the system's hands: the record and bytes must outlive us.
    AbandonedTransfers().push_back(std::move(t));
  }
  return false;
}

bool WriteToUsbDevice(const std::string& stem, const os::BYTE* data, os::DWORD length) {
  const os::OwnedHandle device(OpenUsbDevice(stem));
  if (!device.valid()) return false;
  std::vector<os::BYTE> page(data, data + length);
  os::DWORD transferred = 0;
  return TransferOnUsbDevice(device.get(), UsbTransfer::Write, page.data(), length, kUsbWriteTimeoutMs,
                             &transferred) &&
         transferred == length;
}
