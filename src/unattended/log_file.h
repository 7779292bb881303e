// Opening the /log file. The program runs elevated and the path comes from
// whoever started it: the file is opened on a handle that follows no link,
// checked on that handle, and only then emptied.
#pragma once
#include <string>

#include "os/os_types.h"

// Opens `path` for writing (created when missing), not inheritable, shared
// for reading only. Refused (INVALID_HANDLE_VALUE, nothing emptied): a folder,
// a link at the path itself, a file with more than one name (hard links), and
// a path that reaches another place than its full path says (a link or
// junction in one of its folders, an 8.3 short name, a mapped drive), a
// folder not owned by SYSTEM or the Administrators (or by the running
// account, in that account's own profile), and an existing file another
// account made (judged on a handle that waits on nobody). An existing file is
// emptied; the caller closes the handle.
// With LogOpening::Append the file is not emptied and every write goes to
// its end; `empty` (when given) tells whether it held nothing yet.
enum class LogOpening { Replace, Append };
[[nodiscard]] os::HANDLE OpenLogFile(const std::string& path, LogOpening opening = LogOpening::Replace, bool* empty = nullptr);

// The log of runs without /log: %SystemRoot%\Logs\Tovlan\lumatrek-setup.log,
// appended to. Standard users can create nothing under the Windows folder, so
// nobody but an administrator or the system can have made "Tovlan" there; it
// is created with the program's own access list (SYSTEM and the
// Administrators only) when missing. "" when the folder cannot be made.
inline constexpr const char kDefaultLogName[] = "lumatrek-setup.log";
std::string DefaultLogPath();
