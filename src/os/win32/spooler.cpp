// Print spooler adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/spooler.h"


static_assert(sizeof(os::PORT_INFO_2A) == sizeof(::PORT_INFO_2A), "PORT_INFO_2A layout");

namespace os {

BOOL EnumPortsA(LPSTR pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                DWORD* pcReturned) {
  return ::EnumPortsA(pName, Level, pPorts, cbBuf, reinterpret_cast<::DWORD*>(pcbNeeded),
                      reinterpret_cast<::DWORD*>(pcReturned));
}

}  // namespace os
