// From a spooler port name such as USB001 to the USB printer interface behind
// it, through the device registry's USB printer interface class key. Both
// lookups only read the registry, and the first interface (in the registry's
// enumeration order) whose "Port Number" equals the port's number decides.
#pragma once
#include <string>

// The USB printer interface class key, below HKEY_LOCAL_MACHINE.
inline constexpr const char kUsbPrinterInterfaceKey[] =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// The vendor's USB vendor identifier as it stands in an interface key's name.
inline constexpr const char kVendorMark[] = "4B9E";

inline constexpr const char kMsgMallocSubKeyName[] = "malloc subKeyName err.";
inline constexpr const char kMsgOpenBaseKey[] = "RegOpenKeyA baseKeyName err.";

// The number of a spooler port: the decimal value of the name from its fourth
// character on (white space, optional sign, digits), 0 when there are no
// digits there or the name is shorter than four characters.
[[nodiscard]] int UsbPortNumber(const std::string& portName);

// The device path stem of an interface key name: the name without its first
// four characters, cut before the interface class suffix; empty when the name
// lacks the suffix.
[[nodiscard]] std::string DeviceStemOfInterfaceKey(const std::string& interfaceKeyName);

// What the vendor check found: the first interface with the port's number
// carries the vendor mark (exact case, anywhere in its key name), or it does
// not (or there is none), or the check could not be made.
enum class VendorPortCheck {
  Vendor,
  NotVendor,
  NameBufferFailed,  // the key name buffer could not be allocated (kMsgMallocSubKeyName)
  ClassKeyFailed,    // the class key could not be opened (kMsgOpenBaseKey)
};
[[nodiscard]] VendorPortCheck CheckVendorUsbPort(const std::string& portName);

// Sets `stem` to the device path stem of the first interface whose
// "Port Number" is a REG_DWORD equal to the port's number and returns true;
// returns false, leaving `stem` untouched, when there is none or a call fails.
// Shows nothing.
[[nodiscard]] bool FindUsbDeviceStem(const std::string& portName, std::string& stem);
