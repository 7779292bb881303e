// Print spooler adapters. winspool.drv is no KnownDLL: imported statically,
// the loader would take a copy from the program's own folder (a downloads
// folder, say). It is loaded from the system folder instead, once, before
// WinMain (and so before anything switches file-system redirection), and each
// call is found by name.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstring>

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

const HMODULE winspool = win32::LoadSystemLibrary("winspool.drv");

template <typename F, typename... Args>
BOOL Call(F function, Args... args) {
  return win32::CallOr<BOOL>(FALSE, function, args...);
}

#define WINSPOOL(name) win32::Entry<decltype(&::name)>(winspool, #name)

}  // namespace

BOOL EnumPortsA(LPSTR pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned) {
  static const auto entry = WINSPOOL(EnumPortsA);
  return Call(entry, pName, Level, pPorts, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, BYTE* pPrinterEnum, DWORD cbBuf,
                   DWORD* pcbNeeded, DWORD* pcReturned) {
  static const auto entry = WINSPOOL(EnumPrintersA);
  return Call(entry, Flags, Name, Level, pPrinterEnum, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL OpenPrinterA(LPSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefault) {
  static const auto entry = WINSPOOL(OpenPrinterA);
  return Call(entry, pPrinterName, phPrinter, reinterpret_cast<::PRINTER_DEFAULTSA*>(pDefault));
}

BOOL ClosePrinter(HANDLE hPrinter) {
  static const auto entry = WINSPOOL(ClosePrinter);
  return Call(entry, hPrinter);
}

BOOL GetPrinterA(HANDLE hPrinter, DWORD Level, BYTE* pPrinter, DWORD cbBuf, DWORD* pcbNeeded) {
  static const auto entry = WINSPOOL(GetPrinterA);
  return Call(entry, hPrinter, Level, pPrinter, cbBuf, Dw(pcbNeeded));
}

BOOL DeletePrinter(HANDLE hPrinter) {
  static const auto entry = WINSPOOL(DeletePrinter);
  return Call(entry, hPrinter);
}

BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, BYTE* pJob, DWORD cbBuf,
               DWORD* pcbNeeded, DWORD* pcReturned) {
  static const auto entry = WINSPOOL(EnumJobsA);
  return Call(entry, hPrinter, FirstJob, NoJobs, Level, pJob, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, BYTE* pJob, DWORD Command) {
  static const auto entry = WINSPOOL(SetJobA);
  return Call(entry, hPrinter, JobId, Level, pJob, Command);
}

BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, BYTE* pDriverInfo, DWORD cbBuf,
                         DWORD* pcbNeeded, DWORD* pcReturned) {
  static const auto entry = WINSPOOL(EnumPrinterDriversA);
  return Call(entry, pName, pEnvironment, Level, pDriverInfo, cbBuf, Dw(pcbNeeded), Dw(pcReturned));
}

BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
  static const auto entry = WINSPOOL(DeletePrinterDriverA);
  return Call(entry, pName, pEnvironment, pDriverName);
}

BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer) {
  static const auto entry = WINSPOOL(GetDefaultPrinterA);
  return Call(entry, pszBuffer, Dw(pcchBuffer));
}

}  // namespace os
