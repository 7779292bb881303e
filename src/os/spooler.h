// The print spooler's enumeration calls, with the platform's records. Lists
// are read with a sizing call (no buffer) and a filling call; the caller owns
// the buffer.
#pragma once
#include "os/os_types.h"

namespace os {

struct PORT_INFO_2A {
  LPSTR pPortName;
  LPSTR pMonitorName;
  LPSTR pDescription;
  DWORD fPortType;
  DWORD Reserved;
};

BOOL EnumPortsA(LPSTR pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned);

}  // namespace os
