// Print spooler adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/spooler.h"

static_assert(sizeof(os::PORT_INFO_2A) == sizeof(::PORT_INFO_2A), "PORT_INFO_2A layout");
static_assert(sizeof(os::PRINTER_INFO_2A) == sizeof(::PRINTER_INFO_2A), "PRINTER_INFO_2A layout");
static_assert(offsetof(os::PRINTER_INFO_2A, cJobs) == offsetof(::PRINTER_INFO_2A, cJobs), "cJobs");
static_assert(sizeof(os::PRINTER_DEFAULTSA) == sizeof(::PRINTER_DEFAULTSA), "PRINTER_DEFAULTSA layout");
static_assert(sizeof(os::JOB_INFO_1A) == sizeof(::JOB_INFO_1A), "JOB_INFO_1A layout");
static_assert(sizeof(os::DRIVER_INFO_3A) == sizeof(::DRIVER_INFO_3A), "DRIVER_INFO_3A layout");

namespace os {

namespace {
::DWORD* Dw(DWORD* p) { return reinterpret_cast<::DWORD*>(p); }
}  // namespace

BOOL EnumPortsA(LPSTR pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned) {
  return ::EnumPortsA(pName, Level, pPorts, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, BYTE* pPrinterEnum, DWORD cbBuf,
                   DWORD* pcbNeeded, DWORD* pcReturned) {
  return ::EnumPrintersA(Flags, Name, Level, pPrinterEnum, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL OpenPrinterA(LPSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefault) {
  return ::OpenPrinterA(pPrinterName, phPrinter, reinterpret_cast<::PRINTER_DEFAULTSA*>(pDefault));
}

BOOL ClosePrinter(HANDLE hPrinter) { return ::ClosePrinter(hPrinter); }

BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, BYTE* pJob, DWORD cbBuf,
               DWORD* pcbNeeded, DWORD* pcReturned) {
  return ::EnumJobsA(hPrinter, FirstJob, NoJobs, Level, pJob, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, BYTE* pJob, DWORD Command) {
  return ::SetJobA(hPrinter, JobId, Level, pJob, Command);
}

BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, BYTE* pDriverInfo, DWORD cbBuf,
                         DWORD* pcbNeeded, DWORD* pcReturned) {
  return ::EnumPrinterDriversA(pName, pEnvironment, Level, pDriverInfo, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
  return ::DeletePrinterDriverA(pName, pEnvironment, pDriverName);
}

BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer) { return ::GetDefaultPrinterA(pszBuffer, Dw(pcchBuffer)); }

}  // namespace os
