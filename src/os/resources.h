// Resources embedded in the program's own module: found by type name and
// integer id, loaded, locked for their bytes and released.
#pragma once
#include <cstdint>

#include "os/os_types.h"

namespace os {

#ifndef _WINDOWS_
// An integer resource id in the place of a name, as the platform encodes it.
inline LPCSTR MAKEINTRESOURCEA(WORD id) {
  return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id));
}
#endif

// The program's own module (what the dialog framework keeps as its resource
// instance) when `moduleName` is null.
HMODULE GetModuleHandleA(LPCSTR moduleName);
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL loaded);

}  // namespace os
