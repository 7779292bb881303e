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

namespace {

bool ReadDword(os::HKEY key, const char* name, os::DWORD& value) {
  os::DWORD type = 0;
  os::DWORD size = sizeof value;
  return os::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<os::BYTE*>(&value), &size) ==
             os::ERROR_SUCCESS &&
         type == os::REG_DWORD && size == sizeof value;
}

bool ReadString(os::HKEY key, const char* name, std::string& text) {
  char buffer[256] = {};
  os::DWORD type = 0;
  os::DWORD size = sizeof buffer - 1;
  if (os::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<os::BYTE*>(buffer), &size) !=
          os::ERROR_SUCCESS ||
      type != os::REG_SZ) {
    return false;
  }
  text.assign(buffer, std::strlen(buffer));
  return true;
}

}  // namespace

TcpIpPortCheck CheckTcpIpPort(const std::string& address, int portNumber) {
  const std::string path = std::string(kPortsKey) + "\\" + address;
  os::RegKey key;
  const os::LONG opened = os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, path.c_str(), 0, os::KEY_READ, key.receive());
  if (opened == os::ERROR_FILE_NOT_FOUND) return TcpIpPortCheck::Missing;
  if (opened != os::ERROR_SUCCESS) return TcpIpPortCheck::Unreadable;
  std::string host;
  os::DWORD protocol = 0;
  os::DWORD number = 0;
  if (!ReadString(key.get(), "HostName", host) || !ReadDword(key.get(), "Protocol", protocol) ||
      !ReadDword(key.get(), "PortNumber", number)) {
    return TcpIpPortCheck::Different;  // an entry, but not one of ours
  }
  const bool ours = host == address && protocol == kRawTcp && number == static_cast<os::DWORD>(portNumber);
  return ours ? TcpIpPortCheck::Registered : TcpIpPortCheck::Different;
}
