#include "install/install_outcome.h"

#include <vector>

#include "os/spooler.h"

bool PrinterExists(const std::string& name) {
  std::string copy = name;
  os::HANDLE printer = nullptr;
  if (!os::OpenPrinterA(&copy[0], &printer, nullptr)) return false;
  os::ClosePrinter(printer);
  return true;
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
