#include "uninstall/driver_removal.h"

#include <cstring>
#include <string>

#include "common/form_validation.h"
#include "os/system_info.h"
#include "process/system_program.h"
#include "spooler/service_control.h"
#include "uninstall/spooler_lists.h"

namespace {

// Old systems flag themselves with bit 7 of the major version byte; there a
// queued job is cancelled rather than deleted.
constexpr os::DWORD kOldSystemVersionBit = 0x80;

os::DWORD JobRemovalCommand() {
  return (os::GetVersion() & kOldSystemVersionBit) != 0 ? os::JOB_CONTROL_CANCEL : os::JOB_CONTROL_DELETE;
}

// Whether the printer UI gets the name intact as the quoted argument of
// "/n": a quote would end it, a backslash before the closing quote would keep
// it open, and control characters have no place on a command line.
bool QuotesIntact(const char* name) {
  const std::size_t length = std::strlen(name);
  const std::string text(name, length);
  // Walked by characters: a trail byte 0x5C is no backslash, and a lone lead
  // byte would take the closing quote as its trail byte.
  const std::string::size_type last = LastCharacterAt(text);
  if (length == 0 || EndsInLoneLeadByte(text) || (last == length - 1 && text[last] == '\\')) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '"' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool DeleteQueuedJobs(os::HANDLE printer, os::DWORD jobCount) {
  SpoolerList<os::JOB_INFO_1A> jobs = ListJobs(printer, jobCount);
  if (!jobs) return false;
  for (os::JOB_INFO_1A& job : jobs) {
    if (!os::SetJobA(printer, job.JobId, 1, reinterpret_cast<os::BYTE*>(&job), JobRemovalCommand())) return false;
  }
  return true;
}

}  // namespace

int RemovePrintersOfDriver(const os::DRIVER_INFO_3A& driver, const ChildRuns& runs) {
  SpoolerList<os::PRINTER_INFO_2A> printers = ListPrinters();
  if (!printers) return 0;
  for (const os::PRINTER_INFO_2A& printer : printers) {
    if (printer.pDriverName == nullptr || std::strcmp(printer.pDriverName, driver.pName) != 0) continue;
    os::PrinterHandle handle(printer.pPrinterName);
    if (handle.get() == nullptr) return 0;
    // The count is the one listed; jobs that arrived since stay.
    if (printer.cJobs != 0 && !DeleteQueuedJobs(handle.get(), printer.cJobs)) return 0;
    if (!QuotesIntact(printer.pPrinterName)) {
      // The spooler removes it once the handle is closed.
      if (!os::DeletePrinter(handle.get())) return 0;
      continue;
    }
    handle.Close();

    const std::string line = std::string("rundll32 printui.dll,PrintUIEntry /dl /n \"") + printer.pPrinterName + "\"" +
                             PrinterUiQuietFlag(runs);
    if (RunSystemProgram("rundll32", line, runs.toolWaitMs) != 0) return 0;
  }
  return 1;
}

int RemoveDriver(const char* name, const ChildRuns& runs) {
  if (!IsSpoolerRunning()) StartSpooler();
  SpoolerList<os::DRIVER_INFO_3A> drivers = ListPrinterDrivers();
  if (!drivers) return 0;
  // The list stays the one taken before any restart.
  for (const os::DRIVER_INFO_3A& driver : drivers) {
    if (driver.pName == nullptr || std::strcmp(driver.pName, name) != 0) continue;
    if (RemovePrintersOfDriver(driver, runs) == 0) return 0;
    if (!os::DeletePrinterDriverA(nullptr, nullptr, driver.pName)) return 0;
    if (IsSpoolerRunning() && StopSpooler() == 0) return 0;
    if (StartSpooler() == 0) return 0;
  }
  return 1;
}
