// Who made a file or folder, judged on its open handle (READ_CONTROL): only
// what SYSTEM, the Administrators or the program itself made may steer the
// program, which runs elevated.
#pragma once
#include <string>

#include "os/os_types.h"

// Security descriptor of the folders the program creates: owned by the
// Administrators, and an access list (not inherited from above) that gives
// SYSTEM and the Administrators full control, inherited by all below.
inline constexpr const char kOwnFolderSddl[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Creates the folder `path` with kOwnFolderSddl given at creation, so it is
// never there without its access list; false when it cannot be made.
[[nodiscard]] bool CreateOwnFolder(const std::string& path);

// Owned by SYSTEM or the Administrators, or by the user this process runs as
// where the system gives what this process makes to that user (Wine; an
// elevated token on Windows gives it to the Administrators, so there a
// folder owned by the user was made by one of the user's processes that is
// not elevated). False when the owner cannot be read.
[[nodiscard]] bool IsOwnedBySystemOrAdministrators(os::HANDLE handle);
// Owned by the user this process runs as, whoever the system gives what this
// process makes to.
[[nodiscard]] bool IsOwnedByProcessUser(os::HANDLE handle);
// Owned as IsOwnedBySystemOrAdministrators says, and carrying exactly the
// access list of kOwnFolderSddl: protected from inheritance (the system may
// add its auto-inherited marks), those two entries and nothing else. Where
// the system gives what this process makes to its user, it keeps the list
// with that user in the Administrators' place and no protection mark (Wine
// keeps the list as Unix mode bits), and that form is the one accepted there.
[[nodiscard]] bool CarriesOwnAccessList(os::HANDLE handle);
