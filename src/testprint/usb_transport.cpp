#include "testprint/usb_transport.h"

#include <cstdio>
#include <vector>

#include "os/devices.h"

namespace {

// GUID_DEVINTERFACE_USB_DEVICE: the device is found through the USB printer
// interface class but opened through the USB device interface class.
constexpr const char kUsbDeviceInterfaceClass[] = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

}  // namespace

std::string UsbDevicePath(const std::string& stem) {
  std::string prepared = stem;
  if (!prepared.empty()) os::CharUpperBuffA(&prepared[0], static_cast<os::DWORD>(prepared.size()));
  for (char& c : prepared) {
    if (c == '\\') c = '#';
  }
  std::vector<char> path(prepared.size() + sizeof kUsbDeviceInterfaceClass + 8);
  std::snprintf(path.data(), path.size(), "\\\\?\\%s#%s", prepared.c_str(), kUsbDeviceInterfaceClass);
  return path.data();
}

bool WriteToUsbDevice(const std::string& stem, const os::BYTE* data, os::DWORD length) {
  if (stem.empty()) return false;
  const std::string path = UsbDevicePath(stem);
  os::DeviceHandle device(os::CreateFileA(path.c_str(), os::GENERIC_READ | os::GENERIC_WRITE,
                                          os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING,
                                          os::FILE_FLAG_OVERLAPPED, nullptr));
  if (!device.valid()) return false;

  // No event of its own: the device handle is signalled when the write completes.
  os::OVERLAPPED overlapped = {};
  const bool started =
      os::WriteFile(device.get(), data, length, nullptr, &overlapped) || os::GetLastError() == os::ERROR_IO_PENDING;
  // A write that failed without starting has nothing to wait for; the device
  // still counts as present.
  if (!started) return true;

  if (os::WaitForSingleObject(device.get(), kUsbWriteTimeoutMs) == os::WAIT_OBJECT_0) return true;

  // The device did not take the page in time. Cancel the write and wait for the
  // cancellation to finish: the system must be done with `overlapped` and the
  // caller's page before they go.
  os::CancelIo(device.get());
  os::DWORD transferred = 0;
  os::GetOverlappedResult(device.get(), &overlapped, &transferred, os::TRUE);
  return false;
}
