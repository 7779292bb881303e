#include "install/install_outcome.h"

#include <utility>
#include <vector>

#include "os/spooler.h"

namespace {

// Port names are matched as the spooler matches them: ASCII case ignored.
bool SamePortName(const std::string& a, const char* b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// Read access is all the check needs; empty when the printer cannot be opened.
os::PrinterHandle OpenForReading(std::string name) {
  os::PrinterHandle printer;
  if (!os::OpenPrinterA(&name[0], printer.receive(), nullptr)) printer.reset();
  return printer;
}

}  // namespace

InstalledPrinter CheckInstalledPrinter(const std::string& name, const std::string& driver, const std::string& port,
                                       bool shared) {
  const os::PrinterHandle printer = OpenForReading(name);
  if (printer.get() == nullptr) return InstalledPrinter::Missing;
  os::DWORD size = 0;
  if (os::GetPrinterA(printer.get(), 2, nullptr, 0, &size) || os::GetLastError() != os::ERROR_INSUFFICIENT_BUFFER ||
      size < sizeof(os::PRINTER_INFO_2A)) {
    return InstalledPrinter::Unreadable;
  }
  // Pointer-aligned: the record's fields are pointers into the same block.
  std::vector<os::PRINTER_INFO_2A> block(size / sizeof(os::PRINTER_INFO_2A) + 1);
  if (!os::GetPrinterA(printer.get(), 2, reinterpret_cast<os::BYTE*>(block.data()),
                       static_cast<os::DWORD>(block.size() * sizeof(os::PRINTER_INFO_2A)), &size)) {
    return InstalledPrinter::Unreadable;
  }
  const os::PRINTER_INFO_2A& info = block[0];
  if (info.pDriverName == nullptr || driver != info.pDriverName) return InstalledPrinter::OtherDriver;
  if (info.pPortName == nullptr || !SamePortName(port, info.pPortName)) return InstalledPrinter::OtherPort;
  if (shared && (info.Attributes & os::PRINTER_ATTRIBUTE_SHARED) == 0) return InstalledPrinter::NotShared;
  return InstalledPrinter::Ours;
}

bool IsDefaultPrinter(const std::string& name) {
  os::DWORD size = 0;
  if (os::GetDefaultPrinterA(nullptr, &size) || os::GetLastError() != os::ERROR_INSUFFICIENT_BUFFER || size == 0) {
    return false;
  }
  std::vector<char> buffer(size, '\0');
  if (!os::GetDefaultPrinterA(buffer.data(), &size)) return false;
  buffer.back() = '\0';
  return name == buffer.data();
}
