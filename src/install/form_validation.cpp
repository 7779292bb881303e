#include "install/form_validation.h"

#include <cstdlib>

namespace {

constexpr std::size_t kMaxFieldBytes = 31;

}  // namespace

bool CheckPrinterName(const std::string& printerName) {
  return !printerName.empty() && printerName.size() <= kMaxFieldBytes;
}

std::regex CompileIpv4Pattern() {
  return std::regex(R"(((25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d)\.){3}(25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d))",
                    std::regex::ECMAScript);
}

AddressCheck CheckNetworkAddress(const std::string& hostAddress, const std::regex& ipv4Pattern) {
  if (hostAddress.empty() || hostAddress.size() > kMaxFieldBytes) return AddressCheck::RejectedByLength;
  if (std::regex_match(hostAddress, ipv4Pattern)) return AddressCheck::Ipv4Address;
  if (hostAddress.find(".local") != std::string::npos) return AddressCheck::HostName;
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
