#include "fake_spooler.h"

#include <cstring>

#include "fake_os.h"
#include "os/spooler.h"

namespace fake {

Spooler& spooler() {
  static Spooler* s = [] {
    auto* created = new Spooler();
    OnReset([created] { *created = Spooler(); });
    return created;
  }();
  return *s;
}

}  // namespace fake

namespace os {

// Packs the records first and their strings behind them, as the spooler does.
BOOL EnumPortsA(LPSTR, DWORD level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned) {
  const bool failed = fake::Called("EnumPortsA");
  const auto& ports = fake::spooler().ports;
  if (level != 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD needed = 0;
  if (!ports.empty()) {
    needed = static_cast<DWORD>(ports.size() * sizeof(PORT_INFO_2A));
    for (const auto& p : ports) {
      needed += static_cast<DWORD>(p.name.size() + p.monitor.size() + p.description.size() + 3);
    }
  }
  *pcbNeeded = needed;
  if (failed) {
    *pcReturned = 0;
    SetLastError(1722);  // RPC_S_SERVER_UNAVAILABLE: the spooler is not running
    return FALSE;
  }
  if (cbBuf < needed || (needed > 0 && pPorts == nullptr)) {
    *pcReturned = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<PORT_INFO_2A*>(pPorts);
  char* strings = reinterpret_cast<char*>(pPorts) + ports.size() * sizeof(PORT_INFO_2A);
  auto put = [&strings](const std::string& s) {
    char* at = strings;
    std::memcpy(at, s.c_str(), s.size() + 1);
    strings += s.size() + 1;
    return at;
  };
  for (size_t i = 0; i < ports.size(); ++i) {
    records[i].pPortName = put(ports[i].name);
    records[i].pMonitorName = put(ports[i].monitor);
    records[i].pDescription = put(ports[i].description);
    records[i].fPortType = 3;
    records[i].Reserved = 0;
  }
  *pcReturned = static_cast<DWORD>(ports.size());
  return TRUE;
}

}  // namespace os
