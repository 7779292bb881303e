// Security descriptor adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <aclapi.h>
#include <sddl.h>

#include "os/security.h"

namespace os {

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                                          unsigned long* size) {
  return ::ConvertStringSecurityDescriptorToSecurityDescriptorA(text, revision, descriptor, size);
}
DWORD GetSecurityInfo(HANDLE handle, int objectType, DWORD information, PSID* owner, PSID* group, void** dacl,
                      void** sacl, PSECURITY_DESCRIPTOR* descriptor) {
  return ::GetSecurityInfo(handle, static_cast<::SE_OBJECT_TYPE>(objectType), information, owner, group,
                           reinterpret_cast<::PACL*>(dacl), reinterpret_cast<::PACL*>(sacl), descriptor);
}
BOOL IsWellKnownSid(PSID sid, int wellKnownType) {
  return ::IsWellKnownSid(sid, static_cast<::WELL_KNOWN_SID_TYPE>(wellKnownType));
}
HLOCAL LocalFree(HLOCAL memory) { return ::LocalFree(memory); }

}  // namespace os
