#include "common/form_validation.h"

#include <cstdlib>

#include "os/files.h"

namespace {

constexpr std::size_t kMaxFieldBytes = 31;
constexpr std::size_t kMaxPortNameBytes = 63;

// The characters of a DNS name; anything else could reach the port's registry
// key path and the printer tool's command line.
bool IsDnsName(const std::string& name) {
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

bool HasCharacter(const std::string& name, char c) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == c) return true;
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(name[i]))) ++i;  // its trail byte
  }
  return false;
}

std::string::size_type LastCharacterAt(const std::string& text) {
  std::string::size_type last = std::string::npos;
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    last = i;
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(text[i]))) ++i;  // its trail byte
  }
  return last;
}

bool EndsInLoneLeadByte(const std::string& text) {
  const std::string::size_type last = LastCharacterAt(text);
  return last != std::string::npos && last + 1 == text.size() && os::IsDBCSLeadByte(static_cast<os::BYTE>(text[last]));
}

bool CheckPrinterName(const std::string& printerName) {
  if (printerName.empty() || printerName.size() > kMaxFieldBytes) return false;
  if (EndsInLoneLeadByte(printerName)) return false;
  // A quote would end the quoted argument; the spooler refuses '\' and ','.
  for (const char c : {'"', '\\', ','}) {
    if (HasCharacter(printerName, c)) return false;
  }
  for (const char c : printerName) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool CheckUsbPortName(const std::string& portName) {
  if (portName.empty() || portName.size() > kMaxPortNameBytes) return false;
  for (const char c : portName) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-' && c != ':') return false;
  }
  return true;
}

std::regex CompileIpv4Pattern() {
  return std::regex(R"(((25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d)\.){3}(25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d))",
                    std::regex::ECMAScript);
}

AddressCheck CheckNetworkAddress(const std::string& hostAddress, const std::regex& ipv4Pattern) {
  if (hostAddress.empty() || hostAddress.size() > kMaxFieldBytes) return AddressCheck::RejectedByLength;
  if (std::regex_match(hostAddress, ipv4Pattern)) return AddressCheck::Ipv4Address;
  if (hostAddress.find(".local") != std::string::npos && IsDnsName(hostAddress)) return AddressCheck::HostName;
  return AddressCheck::RejectedByForm;
}

AddressKind KindOf(AddressCheck check) {
  return check == AddressCheck::HostName ? AddressKind::HostName : AddressKind::Ipv4Address;
}

int CheckPortText(const std::string& portText) {
  if (portText.empty() || portText.size() > kMaxFieldBytes) return 0;
  const long value = std::strtol(portText.c_str(), nullptr, 10);
  // One unsigned comparison covers both ends of 1..65535.
  if (static_cast<unsigned long>(value) - 1UL > 65534UL) return 0;
  return static_cast<int>(value);
}
