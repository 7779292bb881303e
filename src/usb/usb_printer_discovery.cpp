#include "usb/usb_printer_discovery.h"

#include <cstdio>
#include <cstring>

#include "os/files.h"  // FILETIME
#include "os/memory.h"
#include "os/registry.h"

namespace {

constexpr std::size_t kNameBufferSize = 1024;
constexpr const char kPortNumberValue[] = "Port Number";

}  // namespace

VendorPortCheck CheckVendorUsbPort(const std::string& portName) {
  os::HeapBlock nameBuffer(kNameBufferSize);
  if (!nameBuffer) return VendorPortCheck::NameBufferFailed;
  char* subKeyName = reinterpret_cast<char*>(nameBuffer.get());
  const os::DWORD portNumber = static_cast<os::DWORD>(UsbPortNumber(portName));

  os::RegKey base;
  if (os::RegOpenKeyA(os::HKEY_LOCAL_MACHINE, kUsbPrinterInterfaceKey, base.receive()) != os::ERROR_SUCCESS) {
    return VendorPortCheck::ClassKeyFailed;
  }

  bool vendor = false;
  for (os::DWORD index = 0;; ++index) {
    if (os::RegEnumKeyA(base.get(), index, subKeyName, kNameBufferSize) != os::ERROR_SUCCESS) break;

    char path[1024];
    const int length = std::snprintf(path, sizeof path, "%s\\%s\\#\\Device Parameters", kUsbPrinterInterfaceKey,
                                     subKeyName);
    // A path that does not fit would name some other key: treat it as absent.
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) continue;
    os::RegKey parameters;
    if (os::RegOpenKeyA(os::HKEY_LOCAL_MACHINE, path, parameters.receive()) != os::ERROR_SUCCESS) continue;

    os::BYTE data[1024];
    os::DWORD dataSize = sizeof data;
    if (os::RegQueryValueExA(parameters.get(), kPortNumberValue, nullptr, nullptr, data, &dataSize) !=
        os::ERROR_SUCCESS) {
      continue;
    }
    // Whatever the value's type, its first four bytes are read as a little-endian
    // number; a shorter value counts with the bytes it has, never with stale ones.
    os::DWORD number = 0;
    for (os::DWORD i = 0; i < 4 && i < dataSize; ++i) number |= static_cast<os::DWORD>(data[i]) << (8 * i);
    if (number != portNumber) continue;

    // The first interface with the port's number decides, mark or no mark.
    vendor = std::strstr(subKeyName, kVendorMark) != nullptr;
    break;
  }
  return vendor ? VendorPortCheck::Vendor : VendorPortCheck::NotVendor;
}

bool FindUsbDeviceStem(const std::string& portName, std::string& stem) {
  const os::DWORD portNumber = static_cast<os::DWORD>(UsbPortNumber(portName));

  os::RegKey base;
  if (os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, kUsbPrinterInterfaceKey, 0, os::KEY_READ, base.receive()) !=
      os::ERROR_SUCCESS) {
    return false;
  }
  os::HeapBlock nameBuffer(kNameBufferSize);
  if (!nameBuffer) return false;
  char* subKeyName = reinterpret_cast<char*>(nameBuffer.get());

  for (os::DWORD index = 0;; ++index) {
    os::DWORD nameSize = kNameBufferSize;
    os::FILETIME lastWrite;
    if (os::RegEnumKeyExA(base.get(), index, subKeyName, &nameSize, nullptr, nullptr, nullptr, &lastWrite) !=
        os::ERROR_SUCCESS) {
      break;
    }

    const std::string path = std::string(kUsbPrinterInterfaceKey) + "\\" + subKeyName + "\\#\\Device Parameters";
    os::RegKey parameters;
    if (os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, path.c_str(), 0, os::KEY_READ, parameters.receive()) !=
        os::ERROR_SUCCESS) {
      continue;
    }

    os::DWORD number = 0xFFFFFFFFu;
    os::DWORD type = os::REG_NONE;
    os::DWORD dataSize = sizeof number;
    const os::LONG rc = os::RegQueryValueExA(parameters.get(), kPortNumberValue, nullptr, &type,
                                             reinterpret_cast<os::BYTE*>(&number), &dataSize);
    if (rc != os::ERROR_SUCCESS || type != os::REG_DWORD || number != portNumber) continue;

    stem = DeviceStemOfInterfaceKey(subKeyName);
    return true;
  }
  return false;
}
