#include "fake_spooler.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "fake_os.h"
#include "fake_processes.h"
#include "os/spooler.h"

namespace fake {
namespace {

constexpr os::DWORD kInvalidHandle = 6;              // ERROR_INVALID_HANDLE
constexpr os::DWORD kInvalidLevel = 124;             // ERROR_INVALID_LEVEL
constexpr os::DWORD kServerUnavailable = 1722;       // RPC_S_SERVER_UNAVAILABLE: spooler down
constexpr os::DWORD kUnknownDriver = 1797;           // ERROR_UNKNOWN_PRINTER_DRIVER
constexpr os::DWORD kInvalidPrinterName = 1801;      // ERROR_INVALID_PRINTER_NAME
constexpr os::DWORD kDriverInUse = 3001;             // ERROR_PRINTER_DRIVER_IN_USE
constexpr os::DWORD kPrinterAccessAdminister = 0x4;  // PRINTER_ACCESS_ADMINISTER

struct OpenPrinter {
  std::string name;
  std::uint32_t access;
};

struct Handles {
  std::map<std::uintptr_t, OpenPrinter> open;
  std::uintptr_t next = 0x5B0000;
};

Handles& handles() {
  static Handles* h = [] {
    auto* created = new Handles();
    OnReset([created] { *created = Handles(); });
    return created;
  }();
  return *h;
}

// Packs `count` records first and their strings behind them, as the spooler
// does: `fill(record, i, put)` sets record i, `put` places one string. A first
// pass with a counting `put` sizes the block.
template <typename Record>
os::BOOL Pack(const char* call, std::size_t count,
              const std::function<void(Record&, std::size_t, const std::function<char*(const std::string&)>&)>& fill,
              os::BYTE* buffer, os::DWORD size, os::DWORD* needed, os::DWORD* returned) {
  const bool failed = Called(call);
  std::size_t bytes = count * sizeof(Record);
  const std::function<char*(const std::string&)> count_put = [&bytes](const std::string& s) -> char* {
    bytes += s.size() + 1;
    return nullptr;
  };
  for (std::size_t i = 0; i < count; ++i) {
    Record scratch{};
    fill(scratch, i, count_put);
  }
  *needed = static_cast<os::DWORD>(bytes);
  *returned = 0;
  if (failed) {
    os::SetLastError(kServerUnavailable);
    return os::FALSE;
  }
  if (size < bytes || (bytes > 0 && buffer == nullptr)) {
    os::SetLastError(os::ERROR_INSUFFICIENT_BUFFER);
    return os::FALSE;
  }
  auto* records = reinterpret_cast<Record*>(buffer);
  char* strings = reinterpret_cast<char*>(buffer) + count * sizeof(Record);
  const std::function<char*(const std::string&)> put = [&strings](const std::string& s) {
    char* at = strings;
    std::memcpy(at, s.c_str(), s.size() + 1);
    strings += s.size() + 1;
    return at;
  };
  for (std::size_t i = 0; i < count; ++i) {
    records[i] = Record{};
    fill(records[i], i, put);
  }
  *returned = static_cast<os::DWORD>(count);
  return os::TRUE;
}

OpenPrinter* FindHandle(os::HANDLE handle) {
  auto it = handles().open.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles().open.end() ? nullptr : &it->second;
}

void FillPrinterInfo(os::PRINTER_INFO_2A& r, const Printer& p, const std::function<char*(const std::string&)>& put) {
  r.pServerName = nullptr;
  r.pPrinterName = put(p.name);
  r.pShareName = put(p.shared ? p.name : "");
  r.Attributes = p.shared ? os::PRINTER_ATTRIBUTE_SHARED : 0;
  r.pPortName = put(p.port);
  r.pDriverName = put(p.driver);
  r.pPrintProcessor = put("winprint");
  r.pDatatype = put("RAW");
  r.Priority = 1;
  r.cJobs = static_cast<os::DWORD>(p.jobs.size());
}

// The quoted value after `option` in a printer UI command line ("" when absent).
std::string QuotedAfter(const std::string& line, const std::string& option) {
  const std::size_t at = line.find(option + " \"");
  if (at == std::string::npos) return "";
  const std::size_t start = at + option.size() + 2;
  const std::size_t end = line.find('"', start);
  return end == std::string::npos ? "" : line.substr(start, end - start);
}

// The printer name in a removal command line: the text between the quotes after "/n ".
std::string RemovalTarget(const std::string& line) { return QuotedAfter(line, "/n"); }

}  // namespace

Spooler& spooler() {
  static Spooler* s = [] {
    auto* created = new Spooler();
    OnReset([created] { *created = Spooler(); });
    return created;
  }();
  return *s;
}

Printer& Spooler::AddPrinter(const std::string& name, const std::string& driver, int queuedJobs) {
  Printer p;
  p.name = name;
  p.driver = driver;
  for (int i = 0; i < queuedJobs; ++i) p.jobs.push_back({nextJobId++, "page " + std::to_string(i + 1)});
  printers.push_back(p);
  return printers.back();
}

Driver& Spooler::AddDriver(const std::string& name) {
  Driver d;
  d.name = name;
  drivers.push_back(d);
  return drivers.back();
}

void Spooler::AnswerRemovalCommands() {
  processes().Respond("printui.dll,PrintUIEntry /dl", 0).effect = [] {
    const std::string target = RemovalTarget(processes().launches.back().commandLine);
    auto& list = spooler().printers;
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (it->name == target) {
        list.erase(it);
        spooler().removedPrinters.push_back(target);
        return;
      }
    }
  };
}

void Spooler::AnswerInstallCommands() {
  for (const char* verb : {"printui.dll,PrintUIEntry /if", "printui.dll,PrintUIEntry /n"}) {
    processes().Respond(verb, 0).effect = [] { spooler().CarryOut(processes().launches.back().commandLine); };
  }
}

void Spooler::CarryOut(const std::string& commandLine) {
  if (commandLine.find(" /if ") != std::string::npos) {
    const std::string name = QuotedAfter(commandLine, "/b");
    // The printer UI installs the model's driver with the printer.
    if (!HasDriver(QuotedAfter(commandLine, "/m"))) AddDriver(QuotedAfter(commandLine, "/m"));
    if (FindPrinter(name) == nullptr) {
      Printer& added = AddPrinter(name, QuotedAfter(commandLine, "/m"));
      added.port = QuotedAfter(commandLine, "/r");
      added.shared = commandLine.find("\" /Z") != std::string::npos;
    }
  } else if (commandLine.find(" /y") != std::string::npos && FindPrinter(QuotedAfter(commandLine, "/n")) != nullptr) {
    defaultPrinter = QuotedAfter(commandLine, "/n");
  }
}

Printer* Spooler::FindPrinter(const std::string& name) {
  for (auto& p : printers) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

bool Spooler::HasDriver(const std::string& name) const {
  for (const auto& d : drivers) {
    if (d.name == name) return true;
  }
  return false;
}

int Spooler::OpenHandles() const { return static_cast<int>(handles().open.size()); }

}  // namespace fake

namespace os {

BOOL EnumPortsA(LPSTR, DWORD level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded, DWORD* pcReturned) {
  const auto& ports = fake::spooler().ports;
  if (level != 2) {
    fake::Called("EnumPortsA");
    SetLastError(fake::kInvalidLevel);
    return FALSE;
  }
  return fake::Pack<PORT_INFO_2A>(
      "EnumPortsA", ports.size(),
      [&ports](PORT_INFO_2A& r, std::size_t i, const std::function<char*(const std::string&)>& put) {
        r.pPortName = put(ports[i].name);
        r.pMonitorName = put(ports[i].monitor);
        r.pDescription = put(ports[i].description);
        r.fPortType = 3;  // PORT_TYPE_WRITE | PORT_TYPE_READ
      },
      pPorts, cbBuf, pcbNeeded, pcReturned);
}

BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, BYTE* buffer, DWORD cbBuf, DWORD* pcbNeeded,
                   DWORD* pcReturned) {
  const auto& printers = fake::spooler().printers;
  if (level != 2 || (flags & PRINTER_ENUM_LOCAL) == 0 || name != nullptr) {
    fake::Called("EnumPrintersA");
    SetLastError(level != 2 ? fake::kInvalidLevel : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return fake::Pack<PRINTER_INFO_2A>(
      "EnumPrintersA", printers.size(),
      [&printers](PRINTER_INFO_2A& r, std::size_t i, const std::function<char*(const std::string&)>& put) {
        fake::FillPrinterInfo(r, printers[i], put);
      },
      buffer, cbBuf, pcbNeeded, pcReturned);
}

BOOL GetPrinterA(HANDLE hPrinter, DWORD level, BYTE* buffer, DWORD cbBuf, DWORD* pcbNeeded) {
  fake::OpenPrinter* open = fake::FindHandle(hPrinter);
  fake::Printer* printer = open != nullptr ? fake::spooler().FindPrinter(open->name) : nullptr;
  if (printer == nullptr || level != 2 || pcbNeeded == nullptr) {
    fake::Called("GetPrinterA");
    SetLastError(printer == nullptr ? fake::kInvalidHandle : fake::kInvalidLevel);
    return FALSE;
  }
  DWORD returned = 0;
  return fake::Pack<PRINTER_INFO_2A>(
      "GetPrinterA", 1,
      [printer](PRINTER_INFO_2A& r, std::size_t, const std::function<char*(const std::string&)>& put) {
        fake::FillPrinterInfo(r, *printer, put);
      },
      buffer, cbBuf, pcbNeeded, &returned);
}

BOOL OpenPrinterA(LPSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefault) {
  const bool failed = fake::Called("OpenPrinterA");
  if (phPrinter == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *phPrinter = nullptr;
  const std::uint32_t access = pDefault != nullptr ? pDefault->DesiredAccess : 0x8;  // PRINTER_ACCESS_USE
  fake::spooler().openAccess.push_back(access);
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (pPrinterName == nullptr || fake::spooler().FindPrinter(pPrinterName) == nullptr) {
    SetLastError(fake::kInvalidPrinterName);
    return FALSE;
  }
  auto& h = fake::handles();
  h.next += 8;
  h.open[h.next] = {pPrinterName, access};
  *phPrinter = reinterpret_cast<HANDLE>(h.next);
  return TRUE;
}

BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer) {
  const bool failed = fake::Called("GetDefaultPrinterA");
  if (pcchBuffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string& name = fake::spooler().defaultPrinter;
  if (failed || name.empty()) {
    SetLastError(failed ? fake::kServerUnavailable : ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const DWORD needed = static_cast<DWORD>(name.size() + 1);
  if (pszBuffer == nullptr || *pcchBuffer < needed) {
    *pcchBuffer = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(pszBuffer, name.c_str(), needed);
  *pcchBuffer = needed;
  return TRUE;
}

BOOL ClosePrinter(HANDLE hPrinter) {
  fake::Called("ClosePrinter");
  if (fake::handles().open.erase(reinterpret_cast<std::uintptr_t>(hPrinter)) == 0) {
    ++fake::spooler().badCloses;
    SetLastError(fake::kInvalidHandle);
    return FALSE;
  }
  return TRUE;
}

// The printer goes at once; its handle stays open until closed.
BOOL DeletePrinter(HANDLE hPrinter) {
  const bool failed = fake::Called("DeletePrinter");
  fake::OpenPrinter* open = fake::FindHandle(hPrinter);
  auto& list = fake::spooler().printers;
  auto it = std::find_if(list.begin(), list.end(),
                         [open](const fake::Printer& p) { return open != nullptr && p.name == open->name; });
  if (failed || it == list.end() || (open->access & PRINTER_ALL_ACCESS) != PRINTER_ALL_ACCESS) {
    SetLastError(it == list.end() ? fake::kInvalidHandle : ERROR_ACCESS_DENIED);
    return FALSE;
  }
  fake::spooler().deletedPrinters.push_back(it->name);
  list.erase(it);
  return TRUE;
}

BOOL EnumJobsA(HANDLE hPrinter, DWORD firstJob, DWORD noJobs, DWORD level, BYTE* buffer, DWORD cbBuf,
               DWORD* pcbNeeded, DWORD* pcReturned) {
  fake::OpenPrinter* open = fake::FindHandle(hPrinter);
  fake::Printer* printer = open != nullptr ? fake::spooler().FindPrinter(open->name) : nullptr;
  if (printer == nullptr || level != 1) {
    fake::Called("EnumJobsA");
    SetLastError(printer == nullptr ? fake::kInvalidHandle : fake::kInvalidLevel);
    return FALSE;
  }
  const auto& jobs = printer->jobs;
  const std::size_t first = firstJob < jobs.size() ? firstJob : jobs.size();
  const std::size_t count = std::min<std::size_t>(noJobs, jobs.size() - first);
  const std::string printerName = printer->name;
  return fake::Pack<JOB_INFO_1A>(
      "EnumJobsA", count,
      [&jobs, first, &printerName](JOB_INFO_1A& r, std::size_t i, const std::function<char*(const std::string&)>& put) {
        const auto& j = jobs[first + i];
        r.JobId = j.id;
        r.pPrinterName = put(printerName);
        r.pMachineName = put("\\\\HOST");
        r.pUserName = put("user");
        r.pDocument = put(j.document);
        r.pDatatype = put("RAW");
        r.pStatus = nullptr;
        r.Position = static_cast<DWORD>(first + i + 1);
      },
      buffer, cbBuf, pcbNeeded, pcReturned);
}

BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, BYTE* pJob, DWORD Command) {
  const bool failed = fake::Called("SetJobA");
  fake::OpenPrinter* open = fake::FindHandle(hPrinter);
  fake::Printer* printer = open != nullptr ? fake::spooler().FindPrinter(open->name) : nullptr;
  if (printer == nullptr) {
    SetLastError(fake::kInvalidHandle);
    return FALSE;
  }
  if (Level > 4 || (Level != 0 && pJob == nullptr) ||
      (Level == 1 && reinterpret_cast<JOB_INFO_1A*>(pJob)->JobId != JobId)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (failed || (open->access & fake::kPrinterAccessAdminister) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  auto& jobs = printer->jobs;
  for (auto it = jobs.begin(); it != jobs.end(); ++it) {
    if (it->id != JobId) continue;
    if (Command == JOB_CONTROL_DELETE || Command == JOB_CONTROL_CANCEL) jobs.erase(it);
    fake::spooler().jobControls.push_back({JobId, Command});
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);  // no such job
  return FALSE;
}

BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD level, BYTE* buffer, DWORD cbBuf,
                         DWORD* pcbNeeded, DWORD* pcReturned) {
  const auto& drivers = fake::spooler().drivers;
  if (level < 1 || level > 3 || pName != nullptr || pEnvironment != nullptr) {
    fake::Called("EnumPrinterDriversA");
    SetLastError(level < 1 || level > 3 ? fake::kInvalidLevel : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Every level shares the first fields of DRIVER_INFO_3A; the fake always packs level 3.
  return fake::Pack<DRIVER_INFO_3A>(
      "EnumPrinterDriversA", drivers.size(),
      [&drivers](DRIVER_INFO_3A& r, std::size_t i, const std::function<char*(const std::string&)>& put) {
        const auto& d = drivers[i];
        r.cVersion = d.version;
        r.pName = put(d.name);
        r.pEnvironment = put(d.environment);
        r.pDriverPath = put("C:\\Windows\\system32\\spool\\drivers\\x64\\3\\" + d.name + ".dll");
        r.pDataFile = put("C:\\Windows\\system32\\spool\\drivers\\x64\\3\\" + d.name + ".gpd");
        r.pConfigFile = put("C:\\Windows\\system32\\spool\\drivers\\x64\\3\\UNIDRVUI.DLL");
        r.pHelpFile = put("");
        r.pDependentFiles = put(std::string(1, '\0'));  // an empty list: two NULs
        r.pMonitorName = put("");
        r.pDefaultDataType = put("RAW");
      },
      buffer, cbBuf, pcbNeeded, pcReturned);
}

BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
  const bool failed = fake::Called("DeletePrinterDriverA");
  auto& s = fake::spooler();
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (pName != nullptr || pEnvironment != nullptr || pDriverName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (const auto& p : s.printers) {
    if (p.driver == pDriverName) {
      SetLastError(fake::kDriverInUse);
      return FALSE;
    }
  }
  for (auto it = s.drivers.begin(); it != s.drivers.end(); ++it) {
    if (it->name == pDriverName) {
      s.drivers.erase(it);
      s.deletedDrivers.push_back(pDriverName);
      return TRUE;
    }
  }
  SetLastError(fake::kUnknownDriver);
  return FALSE;
}

}  // namespace os
