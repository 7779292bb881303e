// Security descriptor adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <aclapi.h>
#include <sddl.h>

#include "os/security.h"

// RtlGenRandom, exported by advapi32 under this name (ntsecapi.h makes the
// platform's name a macro, which would rename ours too).
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

static_assert(sizeof(os::TOKEN_USER) == sizeof(::TOKEN_USER), "TOKEN_USER layout");

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
BOOL ConvertSecurityDescriptorToStringSecurityDescriptorA(PSECURITY_DESCRIPTOR descriptor, DWORD revision,
                                                          DWORD information, LPSTR* text, unsigned long* size) {
  return ::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, revision, information, text, size);
}
BOOL IsWellKnownSid(PSID sid, int wellKnownType) {
  return ::IsWellKnownSid(sid, static_cast<::WELL_KNOWN_SID_TYPE>(wellKnownType));
}
HLOCAL LocalFree(HLOCAL memory) { return ::LocalFree(memory); }
BOOL EqualSid(PSID first, PSID second) { return ::EqualSid(first, second); }
BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) { return ::OpenProcessToken(process, access, token); }
BOOL GetTokenInformation(HANDLE token, int informationClass, void* buffer, DWORD size, DWORD* returned) {
  return ::GetTokenInformation(token, static_cast<::TOKEN_INFORMATION_CLASS>(informationClass), buffer, size,
                               reinterpret_cast<::DWORD*>(returned));
}
unsigned char RtlGenRandom(void* buffer, unsigned long size) { return ::SystemFunction036(buffer, size); }

}  // namespace os
