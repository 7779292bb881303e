#include "testprint/printer_status.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "os/devices.h"
#include "os/sockets.h"
#include "testprint/network_transport.h"
#include "testprint/usb_transport.h"

namespace {

constexpr os::BYTE kRequests[3] = {1, 2, 4};

// Every answer to DLE EOT 1, 2 and 4 has bits 1 and 4 set and bits 0 and 7 clear.
constexpr os::BYTE kFixedMask = 0x93;
constexpr os::BYTE kFixedBits = 0x12;

// printer status (n = 1)
constexpr os::BYTE kOffline = 0x08;
constexpr os::BYTE kWaitingForRecovery = 0x20;
// off-line cause (n = 2)
constexpr os::BYTE kCoverOpen = 0x04;
constexpr os::BYTE kStoppedByPaperEnd = 0x20;
constexpr os::BYTE kErrorOccurred = 0x40;
// paper roll sensor (n = 4): two bits each
constexpr os::BYTE kNearEnd = 0x0C;
constexpr os::BYTE kPaperEnd = 0x60;

// Whether `answer` can be an answer to DLE EOT 1, 2 or 4 at all.
bool IsStatusByte(os::BYTE answer) { return (answer & kFixedMask) == kFixedBits; }

}  // namespace

PrinterStatus ReadNetworkPrinterStatus(const char* address, int port) {
  PrinterStatus status;
  os::SocketLibrary library;
  if (!library.ready()) return status;
  // The page's own connection reported its failures; this one only says why.
  int error = 0;
  os::Socket s(ConnectToNetworkPrinter(address, port, false, &error));
  if (s.get() == os::INVALID_SOCKET) {
    status.socketError = error;
    return status;
  }
  status.connected = true;
  const os::DWORD timeout = kStatusAnswerTimeoutMs;
  if (os::setsockopt(s.get(), os::SOL_SOCKET, os::SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                     static_cast<int>(sizeof timeout)) != 0) {
    return status;  // without the bound a silent printer would hold us for ever
  }
  for (os::BYTE n : kRequests) {
    const char request[3] = {0x10, 0x04, static_cast<char>(n)};
    if (os::send(s.get(), request, 3, 0) != 3) break;
    char answer = 0;
    // A time-out leaves the socket unusable: the first silence ends the questions.
    if (os::recv(s.get(), &answer, 1, 0) != 1) break;
    status.bytes[status.answers++] = static_cast<os::BYTE>(answer);
    if (!IsStatusByte(static_cast<os::BYTE>(answer))) break;  // whatever it is, no printer's answer
  }
  return status;
}

PrinterStatus ReadUsbPrinterStatus(const std::string& stem) {
  PrinterStatus status;
  const os::OwnedHandle device(OpenUsbDevice(stem));
  if (!device.valid()) return status;
  status.connected = true;
  for (os::BYTE n : kRequests) {
    os::BYTE request[3] = {0x10, 0x04, n};
    os::DWORD moved = 0;
    if (!TransferOnUsbDevice(device.get(), UsbTransfer::WriteAtEnd, request, 3, kStatusAnswerTimeoutMs, &moved) ||
        moved != 3) {
      break;
    }
    os::BYTE answer = 0;
    if (!TransferOnUsbDevice(device.get(), UsbTransfer::Read, &answer, 1, kStatusAnswerTimeoutMs, &moved) ||
        moved != 1) {
      break;
    }
    status.bytes[status.answers++] = answer;
    if (!IsStatusByte(answer)) break;
  }
  return status;
}

std::string DescribePrinterStatus(const PrinterStatus& status) {
  if (!status.connected) {
    return status.socketError != 0 ? "no connection (socket error " + std::to_string(status.socketError) + ")"
                                   : "no connection";
  }
  if (status.answers == 0) return "no answer";
  for (int i = 0; i < status.answers; ++i) {
    if (!IsStatusByte(status.bytes[i])) {
      char text[64];
      std::snprintf(text, sizeof text, "no status answer (0x%02X to DLE EOT %d)", status.bytes[i], kRequests[i]);
      return text;
    }
  }
  std::string words = (status.bytes[0] & kOffline) ? "offline" : "online";
  const auto add = [&words](const char* what) { words += std::string(", ") + what; };
  if (status.bytes[0] & kWaitingForRecovery) add("waiting for recovery");
  if (status.answers < 2) return words + ", no answer to DLE EOT 2";
  if (status.bytes[1] & kCoverOpen) add("cover open");
  if (status.bytes[1] & kErrorOccurred) add("error");
  const bool paperEnd = (status.bytes[1] & kStoppedByPaperEnd) ||
                        (status.answers > 2 && (status.bytes[2] & kPaperEnd) == kPaperEnd);
  if (paperEnd) add("paper end");
  if (status.answers < 3) return words + ", no answer to DLE EOT 4";
  if (!paperEnd && (status.bytes[2] & kNearEnd) == kNearEnd) add("paper near end");
  return words;
}
