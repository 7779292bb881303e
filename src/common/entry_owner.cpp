#include "common/entry_owner.h"

#include <string>
#include <vector>

#include "os/devices.h"
#include "os/files.h"
#include "os/security.h"
#include "os/system_info.h"

namespace {

constexpr char kOwnEntries[] = "(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// One record of this process's token (TokenUser, TokenOwner), in `buffer`;
// false when it cannot be read.
bool ReadToken(int informationClass, std::vector<os::TOKEN_USER>& buffer) {
  os::HANDLE token = nullptr;
  if (!os::OpenProcessToken(os::GetCurrentProcess(), os::TOKEN_QUERY, &token)) return false;
  os::OwnedHandle owner(token);
  os::DWORD size = 0;
  os::GetTokenInformation(token, informationClass, nullptr, 0, &size);
  if (size < sizeof(os::TOKEN_OWNER)) return false;
  buffer.assign(size / sizeof(os::TOKEN_USER) + 1, os::TOKEN_USER{});
  return os::GetTokenInformation(token, informationClass, buffer.data(),
                                 static_cast<os::DWORD>(buffer.size() * sizeof(os::TOKEN_USER)), &size) != os::FALSE;
}

// Whether `sid` is this process's user; with `onlyWhereItsOwn`, only on a
// system that gives what this process makes to that user.
bool IsProcessUser(os::PSID sid, bool onlyWhereItsOwn) {
  std::vector<os::TOKEN_USER> user;
  if (!ReadToken(os::TokenUser, user)) return false;
  if (onlyWhereItsOwn) {
    std::vector<os::TOKEN_USER> owner;
    if (!ReadToken(os::TokenOwner, owner)) return false;
    const os::PSID defaultOwner = reinterpret_cast<const os::TOKEN_OWNER*>(owner.data())->Owner;
    if (defaultOwner == nullptr || os::IsWellKnownSid(defaultOwner, os::WinBuiltinAdministratorsSid)) return false;
  }
  return os::EqualSid(sid, user[0].User.Sid) != os::FALSE;
}

enum class Owner { Unreadable, SystemOrAdministrators, ProcessUserWhereItsOwn, ProcessUser, Other };

// The owner of `handle`, and with `text` the descriptor's owner and access
// list in string form.
Owner OwnerOf(os::HANDLE handle, std::string* text = nullptr) {
  os::PSID owner = nullptr;
  os::LocalMemory descriptor;  // `owner` points into it
  const os::DWORD parts = os::OWNER_SECURITY_INFORMATION | (text != nullptr ? os::DACL_SECURITY_INFORMATION : 0);
  if (os::GetSecurityInfo(handle, os::SE_FILE_OBJECT, parts, &owner, nullptr, nullptr, nullptr, descriptor.receive()) !=
      os::ERROR_SUCCESS) {
    return Owner::Unreadable;
  }
  Owner found = Owner::Other;
  if (owner == nullptr) {
    found = Owner::Unreadable;
  } else if (os::IsWellKnownSid(owner, os::WinBuiltinAdministratorsSid) || os::IsWellKnownSid(owner, os::WinLocalSystemSid)) {
    found = Owner::SystemOrAdministrators;
  } else if (IsProcessUser(owner, true)) {
    found = Owner::ProcessUserWhereItsOwn;
  } else if (IsProcessUser(owner, false)) {
    found = Owner::ProcessUser;
  }
  if (text != nullptr && found != Owner::Unreadable) {
    char* converted = nullptr;
    if (os::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.get(), os::SDDL_REVISION_1, parts,
                                                                 &converted, nullptr)) {
      const os::LocalMemory convertedText(converted);
      *text = converted;
    } else {
      found = Owner::Unreadable;
    }
  }
  return found;
}

}  // namespace

bool IsOwnedBySystemOrAdministrators(os::HANDLE handle) {
  const Owner owner = OwnerOf(handle);
  return owner == Owner::SystemOrAdministrators || owner == Owner::ProcessUserWhereItsOwn;
}

bool IsOwnedByProcessUser(os::HANDLE handle) {
  const Owner owner = OwnerOf(handle);
  return owner == Owner::ProcessUserWhereItsOwn || owner == Owner::ProcessUser;
}

bool CarriesOwnAccessList(os::HANDLE handle) {
  std::string text;
  const Owner owner = OwnerOf(handle, &text);
  // "O:<owner>D:<flags><entries>"; the owner is judged above by its SID.
  const std::size_t list = text.find("D:");
  if (text.compare(0, 2, "O:") != 0 || list == std::string::npos) return false;
  const std::size_t entries = text.find('(', list);
  if (entries == std::string::npos) return false;
  const std::string flags = text.substr(list + 2, entries - list - 2);
  const std::string given = text.substr(entries);
  if (owner == Owner::SystemOrAdministrators) {
    return (flags == "P" || flags == "PAI" || flags == "PAR" || flags == "PARAI") && given == kOwnEntries;
  }
  if (owner == Owner::ProcessUserWhereItsOwn) {
    const std::string user = text.substr(2, list - 2);
    return flags.empty() && given == "(A;OICI;FA;;;SY)(A;OICI;FA;;;" + user + ")";
  }
  return false;
}

bool CreateOwnFolder(const std::string& path) {
  os::LocalMemory descriptor;
  if (!os::ConvertStringSecurityDescriptorToSecurityDescriptorA(kOwnFolderSddl, os::SDDL_REVISION_1,
                                                                descriptor.receive(), nullptr)) {
    return false;
  }
  os::SECURITY_ATTRIBUTES attributes{sizeof(os::SECURITY_ATTRIBUTES), descriptor.get(), os::FALSE};
  return os::CreateDirectoryA(path.c_str(), &attributes) != os::FALSE;
}
