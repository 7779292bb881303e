// The print spooler's calls, with the platform's records. Lists are read with
// a sizing call (no buffer) and a filling call; the caller owns the buffer.
// Records follow the platform's layout: pointer fields point into the same
// buffer, behind the records.
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD PRINTER_ENUM_LOCAL = 0x2;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x4;
constexpr DWORD PRINTER_ALL_ACCESS = 0xF000C;
constexpr DWORD PRINTER_ATTRIBUTE_SHARED = 0x8;
constexpr DWORD JOB_CONTROL_CANCEL = 3;
constexpr DWORD JOB_CONTROL_DELETE = 5;
#endif

struct PORT_INFO_2A {
  LPSTR pPortName;
  LPSTR pMonitorName;
  LPSTR pDescription;
  DWORD fPortType;
  DWORD Reserved;
};

struct PRINTER_INFO_2A {
  LPSTR pServerName;
  LPSTR pPrinterName;
  LPSTR pShareName;
  LPSTR pPortName;
  LPSTR pDriverName;
  LPSTR pComment;
  LPSTR pLocation;
  void* pDevMode;  // DEVMODEA*, never read here
  LPSTR pSepFile;
  LPSTR pPrintProcessor;
  LPSTR pDatatype;
  LPSTR pParameters;
  void* pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;  // jobs queued when the list was taken
  DWORD AveragePPM;
};

struct PRINTER_DEFAULTSA {
  LPSTR pDatatype;
  void* pDevMode;  // DEVMODEA*
  DWORD DesiredAccess;
};

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

struct JOB_INFO_1A {
  DWORD JobId;
  LPSTR pPrinterName;
  LPSTR pMachineName;
  LPSTR pUserName;
  LPSTR pDocument;
  LPSTR pDatatype;
  LPSTR pStatus;
  DWORD Status;
  DWORD Priority;
  DWORD Position;
  DWORD TotalPages;
  DWORD PagesPrinted;
  SYSTEMTIME Submitted;
};

struct DRIVER_INFO_3A {
  DWORD cVersion;
  LPSTR pName;
  LPSTR pEnvironment;
  LPSTR pDriverPath;
  LPSTR pDataFile;
  LPSTR pConfigFile;
  LPSTR pHelpFile;
  LPSTR pDependentFiles;  // a list of strings ending in an empty one
  LPSTR pMonitorName;
  LPSTR pDefaultDataType;
};

BOOL EnumPortsA(LPSTR pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned);
BOOL EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, BYTE* pPrinterEnum, DWORD cbBuf,
                   DWORD* pcbNeeded, DWORD* pcReturned);
// A handle in `*phPrinter` (close it with ClosePrinter), or FALSE and null.
BOOL OpenPrinterA(LPSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefault);
BOOL ClosePrinter(HANDLE hPrinter);
// The open printer's record at `Level` (2: PRINTER_INFO_2A), sized and filled
// as the lists are; FALSE with ERROR_INSUFFICIENT_BUFFER when it does not fit.
BOOL GetPrinterA(HANDLE hPrinter, DWORD Level, BYTE* pPrinter, DWORD cbBuf, DWORD* pcbNeeded);
// Marks the printer of an open handle (opened with administer rights) for
// deletion; it goes when its last handle is closed.
BOOL DeletePrinter(HANDLE hPrinter);
BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, BYTE* pJob, DWORD cbBuf,
               DWORD* pcbNeeded, DWORD* pcReturned);
BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, BYTE* pJob, DWORD Command);
BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, BYTE* pDriverInfo, DWORD cbBuf,
                         DWORD* pcbNeeded, DWORD* pcReturned);
BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName);
// The default printer's name in `pszBuffer`; `*pcchBuffer` is the buffer's
// size in characters, and receives the size needed (with the terminator).
// FALSE with ERROR_INSUFFICIENT_BUFFER when it does not fit, with
// ERROR_FILE_NOT_FOUND when there is no default printer.
BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer);

// One owner per open printer.
using PrinterHandleTraits = NullIsEmptyTraits<HANDLE, &os::ClosePrinter>;
// A printer opened with full access; empty when OpenPrinterA failed.
class PrinterHandle : public ScopedHandle<PrinterHandleTraits> {
 public:
  PrinterHandle() = default;
  explicit PrinterHandle(char* name) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE opened = nullptr;
    if (os::OpenPrinterA(name, &opened, &defaults)) reset(opened);
  }
  void Close() { reset(); }
};

}  // namespace os
