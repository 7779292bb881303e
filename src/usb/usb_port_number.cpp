#include <climits>
#include <cstdint>

#include "usb/usb_printer_discovery.h"

int UsbPortNumber(const std::string& portName) {
  // The "USB" prefix is skipped by position; a shorter name has no number.
  if (portName.size() < 4) return 0;
  const char* p = portName.c_str() + 3;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Saturates like strtol on a 32-bit long instead of overflowing.
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<std::int64_t>(INT_MAX) + 1) value = static_cast<std::int64_t>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string DeviceStemOfInterfaceKey(const std::string& interfaceKeyName) {
  static const char kClassSuffix[] = "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  const std::string::size_type end = interfaceKeyName.find(kClassSuffix);
  if (end == std::string::npos || end < 4) return std::string();
  return interfaceKeyName.substr(4, end - 4);
}
