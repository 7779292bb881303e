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

// One overlapped write: the record the system completes and the bytes it reads.
struct PendingWrite {
  os::OVERLAPPED overlapped{};
  std::vector<os::BYTE> page;
};

// Writes whose cancellation did not finish in time; the system may still use them.
std::vector<std::unique_ptr<PendingWrite>>& AbandonedWrites() {
  static std::vector<std::unique_ptr<PendingWrite>> writes;
  return writes;
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

bool WriteToUsbDevice(const std::string& stem, const os::BYTE* data, os::DWORD length) {
  if (stem.empty()) return false;
  const std::string path = UsbDevicePath(stem);
  os::OwnedHandle device(os::CreateFileA(path.c_str(), os::GENERIC_READ | os::GENERIC_WRITE,
                                          os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                                          os::FILE_FLAG_OVERLAPPED, nullptr));
  if (!device.valid()) return false;

  // The record (no event of its own: the device handle is signalled when the
  // write completes) and a copy of the page, kept apart from the caller's.
  auto write = std::make_unique<PendingWrite>();
  write->page.assign(data, data + length);
  const bool started = os::WriteFile(device.get(), write->page.data(), length, nullptr, &write->overlapped) ||
                       os::GetLastError() == os::ERROR_IO_PENDING;
  if (!started) return false;

  os::DWORD transferred = 0;
  if (os::WaitForSingleObject(device.get(), kUsbWriteTimeoutMs) == os::WAIT_OBJECT_0) {
    return os::GetOverlappedResult(device.get(), &write->overlapped, &transferred, os::FALSE) &&
           transferred == length;
  }

  // The device did not take the page in time: cancel the write and give the
  // cancellation a bounded time to finish.
  os::CancelIo(device.get());
  if (os::WaitForSingleObject(device.get(), kUsbCancelTimeoutMs) == os::WAIT_OBJECT_0) {
    os::GetOverlappedResult(device.get(), &write->overlapped, &transferred, os::FALSE);
  } else {
    // Still in the system's hands: the record and page must outlive us.
    AbandonedWrites().push_back(std::move(write));
  }
  return false;
}
