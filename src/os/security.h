// Security descriptors of files and folders: one built from its text form,
// and the owner of an open handle; the user this process runs as; random
// bytes from the system's generator.
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

using PSID = void*;
using PSECURITY_DESCRIPTOR = void*;
using HLOCAL = void*;

#ifndef _WINDOWS_
constexpr DWORD SDDL_REVISION_1 = 1;
constexpr DWORD OWNER_SECURITY_INFORMATION = 0x1;
constexpr DWORD DACL_SECURITY_INFORMATION = 0x4;
constexpr int SE_FILE_OBJECT = 1;
constexpr int WinLocalSystemSid = 22;
constexpr int WinBuiltinAdministratorsSid = 26;
constexpr DWORD TOKEN_QUERY = 0x8;
constexpr int TokenUser = 1;
constexpr int TokenOwner = 4;
#endif

struct SID_AND_ATTRIBUTES {
  PSID Sid;
  DWORD Attributes;
};
struct TOKEN_USER {
  SID_AND_ATTRIBUTES User;
};
// The owner the system gives what this process creates without naming one.
struct TOKEN_OWNER {
  PSID Owner;
};

// Builds a descriptor from its string form; free it with LocalFree.
BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                                          unsigned long* size);
// Reads parts of the descriptor of `handle` (opened with READ_CONTROL); the
// pointers lead into *descriptor, which the caller frees with LocalFree.
// Returns ERROR_SUCCESS or an error code.
DWORD GetSecurityInfo(HANDLE handle, int objectType, DWORD information, PSID* owner, PSID* group, void** dacl,
                      void** sacl, PSECURITY_DESCRIPTOR* descriptor);
// The string form of the parts `information` names of `descriptor`
// ("O:BAD:P(A;OICI;FA;;;SY)..."); free *text with LocalFree.
BOOL ConvertSecurityDescriptorToStringSecurityDescriptorA(PSECURITY_DESCRIPTOR descriptor, DWORD revision,
                                                          DWORD information, LPSTR* text, unsigned long* size);
BOOL IsWellKnownSid(PSID sid, int wellKnownType);
BOOL EqualSid(PSID first, PSID second);
// The access token of `process`; close it with CloseHandle.
BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token);
// The sizing call (null buffer) gives the size needed in *returned and fails.
BOOL GetTokenInformation(HANDLE token, int informationClass, void* buffer, DWORD size, DWORD* returned);
// Fills `buffer` from the system's cryptographic generator (advapi32's
// SystemFunction036, a KnownDLL: nothing is loaded from beside the program);
// FALSE on failure.
unsigned char RtlGenRandom(void* buffer, unsigned long size);
HLOCAL LocalFree(HLOCAL memory);

// What the security calls hand back for LocalFree (descriptors, their text).
using LocalMemoryTraits = NullIsEmptyTraits<HLOCAL, &os::LocalFree>;
using LocalMemory = ScopedHandle<LocalMemoryTraits>;

}  // namespace os
