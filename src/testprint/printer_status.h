// The printer's real-time status, asked with the ESC/POS real-time status
// request DLE EOT n (0x10 0x04 n) for n = 1 (printer), 2 (off-line cause)
// and 4 (paper roll sensor), over raw TCP or straight from the USB device.
// Each answer is one byte, waited for at most kStatusAnswerTimeoutMs.
#pragma once
#include <string>

#include "os/os_types.h"

inline constexpr os::DWORD kStatusAnswerTimeoutMs = 2000;

// The answers, in the order asked (printer, off-line cause, paper sensor).
struct PrinterStatus {
  bool connected = false;  // the connection or device could be opened
  int socketError = 0;     // why the connection could not be made
  int answers = 0;         // how many of the three requests were answered
  os::BYTE bytes[3] = {};
};

// Asks the printer at address:port (dotted IPv4 text) on a connection of its own.
PrinterStatus ReadNetworkPrinterStatus(const char* address, int port);
// Asks the USB printer device of device path stem `stem` (as the USB test
// writes to it), through overlapped I/O on the device handle.
PrinterStatus ReadUsbPrinterStatus(const std::string& stem);

// The status in words: "no connection" (with the socket error when there
// was one), "no answer", or "online" / "offline"
// followed by what stops the printer ("cover open", "paper end", "paper near
// end", "error", "waiting for recovery"), e.g. "offline, cover open". An
// answer whose fixed bits are wrong is no status byte and is named as such.
std::string DescribePrinterStatus(const PrinterStatus& status);
