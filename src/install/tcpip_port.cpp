#include "install/tcpip_port.h"

#include <cstring>

#include "os/registry.h"
#include "spooler/service_control.h"

namespace {

const char kPortsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
constexpr os::DWORD kRawTcp = 1;

bool SetString(os::HKEY key, const char* name, const char* text) {
  const auto size = static_cast<os::DWORD>(std::strlen(text) + 1);  // with the terminating NUL
  return os::RegSetValueExA(key, name, 0, os::REG_SZ, reinterpret_cast<const os::BYTE*>(text), size) ==
         os::ERROR_SUCCESS;
}

bool SetDword(os::HKEY key, const char* name, os::DWORD value) {
  return os::RegSetValueExA(key, name, 0, os::REG_DWORD, reinterpret_cast<const os::BYTE*>(&value),
                            sizeof value) == os::ERROR_SUCCESS;
}

}  // namespace

bool RegisterTcpIpPort(std::string address, int portNumber, AddressKind kind) {
  const std::string path = std::string(kPortsKey) + "\\" + address;
  os::RegKey key;
  if (os::RegCreateKeyExA(os::HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, os::REG_OPTION_NON_VOLATILE,
                          os::KEY_READ | os::KEY_WRITE, nullptr, key.receive(), nullptr) != os::ERROR_SUCCESS) {
    return false;
  }
  const char* text = address.c_str();
  const bool written = SetString(key.get(), "HostName", text) &&
                       SetString(key.get(), "IPAddress", kind == AddressKind::Ipv4Address ? text : "") &&
                       SetString(key.get(), "HWAddress", "") && SetString(key.get(), "SNMP Community", "cmtyrd") &&
                       SetDword(key.get(), "Protocol", kRawTcp) && SetDword(key.get(), "Version", 1) &&
                       SetDword(key.get(), "PortNumber", static_cast<os::DWORD>(portNumber)) &&
                       SetDword(key.get(), "SNMP Enabled", 0) && SetDword(key.get(), "SNMP Index", 1);
  if (!written) return false;
  // The monitor reads its ports when the spooler starts.
  RestartSpooler();
  return true;
}
