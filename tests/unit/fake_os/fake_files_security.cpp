// The fake file system's security: descriptors (SDDL text in, out), owners,
// SIDs and the process token.
#include <cstdint>
#include <cstring>

#include "fake_files.h"
#include "fake_files_state.h"
#include "fake_os.h"
#include "os/security.h"

namespace fake {
using namespace detail;
}  // namespace fake

namespace os {

using fake::state;

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                                          unsigned long* size) {
  if (fake::Called("ConvertStringSecurityDescriptorToSecurityDescriptorA") || revision != SDDL_REVISION_1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string t = text;
  auto* d = new fake::Descriptor{"", t};
  if (t.compare(0, 2, "O:") == 0) d->owner = t.substr(2, t.find(':', 2) == std::string::npos ? std::string::npos : t.find(':', 2) - 3);
  state().descriptors.insert(d);
  *descriptor = d;
  if (size != nullptr) *size = static_cast<unsigned long>(t.size());
  return TRUE;
}

DWORD GetSecurityInfo(HANDLE handle, int objectType, DWORD information, PSID* owner, PSID*, void**, void**,
                      PSECURITY_DESCRIPTOR* descriptor) {
  if (fake::Called("GetSecurityInfo")) return fake::kAccessDenied;
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(handle));
  const fake::Node* n = it == state().handles.end() ? nullptr : fake::Find(it->second.key);
  if (n == nullptr || objectType != SE_FILE_OBJECT) return fake::kInvalidHandle;
  auto* d = new fake::Descriptor{n->owner, n->security};
  state().descriptors.insert(d);
  if (owner != nullptr) *owner = (information & OWNER_SECURITY_INFORMATION) ? &d->owner : nullptr;
  *descriptor = d;
  return ERROR_SUCCESS;
}

BOOL ConvertSecurityDescriptorToStringSecurityDescriptorA(PSECURITY_DESCRIPTOR descriptor, DWORD revision,
                                                          DWORD information, LPSTR* text, unsigned long* size) {
  auto* d = static_cast<fake::Descriptor*>(descriptor);
  if (fake::Called("ConvertSecurityDescriptorToStringSecurityDescriptorA") || revision != SDDL_REVISION_1 ||
      state().descriptors.count(d) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The owner as the entry has it; the access list as it was given.
  std::string out;
  if (information & OWNER_SECURITY_INFORMATION) out += "O:" + d->owner;
  const std::size_t list = d->text.find("D:");
  if ((information & DACL_SECURITY_INFORMATION) && list != std::string::npos) out += d->text.substr(list);
  char* copy = new char[out.size() + 1];
  std::memcpy(copy, out.c_str(), out.size() + 1);
  state().descriptorTexts.insert(copy);
  *text = copy;
  if (size != nullptr) *size = static_cast<unsigned long>(out.size() + 1);
  return TRUE;
}

BOOL IsWellKnownSid(PSID sid, int wellKnownType) {
  const std::string& s = *static_cast<const std::string*>(sid);
  return (wellKnownType == WinBuiltinAdministratorsSid && s == "BA") || (wellKnownType == WinLocalSystemSid && s == "SY");
}

BOOL EqualSid(PSID first, PSID second) {
  return *static_cast<const std::string*>(first) == *static_cast<const std::string*>(second) ? TRUE : FALSE;
}

// A token is a handle on no file; it counts among the open handles until closed.
BOOL OpenProcessToken(HANDLE, DWORD, HANDLE* token) {
  if (fake::Called("OpenProcessToken")) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  const std::intptr_t id = state().nextHandle;
  state().nextHandle += 4;
  state().handles[id] = fake::DiskHandle{"<token>"};
  *token = reinterpret_cast<HANDLE>(id);
  return TRUE;
}

BOOL GetTokenInformation(HANDLE token, int informationClass, void* buffer, DWORD size, DWORD* returned) {
  static std::string user = fake::kProcessUser;
  auto it = state().handles.find(reinterpret_cast<std::intptr_t>(token));
  if (fake::Called("GetTokenInformation") || it == state().handles.end() || it->second.key != "<token>" ||
      (informationClass != TokenUser && informationClass != TokenOwner)) {
    SetLastError(fake::kAccessDenied);
    return FALSE;
  }
  const DWORD needed = informationClass == TokenUser ? sizeof(TOKEN_USER) : sizeof(TOKEN_OWNER);
  *returned = needed;
  if (buffer == nullptr || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (informationClass == TokenUser) {
    static_cast<TOKEN_USER*>(buffer)->User = SID_AND_ATTRIBUTES{&user, 0};
  } else {
    static_cast<TOKEN_OWNER*>(buffer)->Owner = &state().defaultOwner;
  }
  return TRUE;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (state().descriptorTexts.erase(static_cast<char*>(memory)) == 1) {
    delete[] static_cast<char*>(memory);
    return nullptr;
  }
  auto* d = static_cast<fake::Descriptor*>(memory);
  if (state().descriptors.erase(d) == 1) delete d;
  return nullptr;
}

}  // namespace os
