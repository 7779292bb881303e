// Security descriptors of files and folders: one built from its text form,
// and the owner of an open handle.
#pragma once
#include "os/os_types.h"

namespace os {

using PSID = void*;
using PSECURITY_DESCRIPTOR = void*;
using HLOCAL = void*;

#ifndef _WINDOWS_
constexpr DWORD SDDL_REVISION_1 = 1;
constexpr DWORD OWNER_SECURITY_INFORMATION = 0x1;
constexpr int SE_FILE_OBJECT = 1;
constexpr int WinLocalSystemSid = 22;
constexpr int WinBuiltinAdministratorsSid = 26;
#endif

// Builds a descriptor from its string form; free it with LocalFree.
BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                                          unsigned long* size);
// Reads parts of the descriptor of `handle` (opened with READ_CONTROL); the
// pointers lead into *descriptor, which the caller frees with LocalFree.
// Returns ERROR_SUCCESS or an error code.
DWORD GetSecurityInfo(HANDLE handle, int objectType, DWORD information, PSID* owner, PSID* group, void** dacl,
                      void** sacl, PSECURITY_DESCRIPTOR* descriptor);
BOOL IsWellKnownSid(PSID sid, int wellKnownType);
HLOCAL LocalFree(HLOCAL memory);

}  // namespace os
