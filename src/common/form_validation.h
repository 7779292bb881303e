// Checks of the Setup form that the install and "Connect Test" commands apply
// before they act, with the message each rejection shows.
#pragma once
#include <regex>
#include <string>

#include "common/address_kind.h"

inline constexpr const char kMsgPrinterNameWrong[] = "打印机名称错误";
inline constexpr const char kMsgUsbPortNameWrong[] = "打印机USB端口名称错误";
inline constexpr const char kMsgPrinterModelWrong[] = "打印机型号错误";
inline constexpr const char kMsgAddressLengthWrong[] = "打印机IP格式错误";
inline constexpr const char kMsgAddressFormWrong[] = "打印机网址IP格式错误";
inline constexpr const char kMsgPortWrong[] = "打印机端口格式错误(0 < port < 65536)";

// Passes a name of 1 to 31 bytes that the spooler and a quoted command-line
// argument both take as it is: no '"', '\', ',' or control character (a
// double-byte character's trail byte is not read as one), and no lead byte
// left without its trail byte at the end (it would join the closing quote
// into one character). Nothing is trimmed.
[[nodiscard]] bool CheckPrinterName(const std::string& printerName);

// Passes a USB port name as the spooler names local ports ("USB001"): 1 to 63
// bytes of ASCII letters, digits, '.', '_', '-' and ':'. Nothing else can
// reach the printer tool's command line through it.
[[nodiscard]] bool CheckUsbPortName(const std::string& portName);

// Whether `name` holds `c` as a character of its own (not as the trail byte of
// a double-byte character of the ANSI code page).
[[nodiscard]] bool HasCharacter(const std::string& name, char c);

// The offset where the last character of `text` begins, walking from the start
// (only a forward walk knows where double-byte characters begin); npos for "".
std::string::size_type LastCharacterAt(const std::string& text);

// Whether `text` ends in a lead byte of the ANSI code page without its trail byte.
[[nodiscard]] bool EndsInLoneLeadByte(const std::string& text);

enum class AddressCheck { RejectedByLength, Ipv4Address, HostName, RejectedByForm };

// The four-number dotted IPv4 pattern (0-255, no leading zeros), ECMAScript grammar.
[[nodiscard]] std::regex CompileIpv4Pattern();

// Empty or 32 bytes and more: rejected by length. The whole text matching the
// pattern: IPv4 address. Else containing ".local" (case counts) and made of
// letters, digits, '-' and '.' only: host name.
[[nodiscard]] AddressCheck CheckNetworkAddress(const std::string& hostAddress, const std::regex& ipv4Pattern);

// The address kind of an accepted address.
AddressKind KindOf(AddressCheck check);

// The port number read as strtol does (base 10), 1 to 65535; 0 when rejected
// (empty, 32 bytes and more, or out of range).
[[nodiscard]] int CheckPortText(const std::string& portText);
