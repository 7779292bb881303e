// Resource adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/resources.h"

namespace os {
namespace {
::HMODULE Native(HMODULE m) { return reinterpret_cast<::HMODULE>(m); }
}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  return reinterpret_cast<HMODULE>(::GetModuleHandleA(moduleName));
}
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  return reinterpret_cast<HRSRC>(::FindResourceA(Native(module), name, type));
}
HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  return ::LoadResource(Native(module), reinterpret_cast<::HRSRC>(resource));
}
void* LockResource(HGLOBAL loaded) { return ::LockResource(loaded); }
DWORD SizeofResource(HMODULE module, HRSRC resource) {
  return ::SizeofResource(Native(module), reinterpret_cast<::HRSRC>(resource));
}
BOOL FreeResource(HGLOBAL loaded) { return ::FreeResource(loaded); }

}  // namespace os
