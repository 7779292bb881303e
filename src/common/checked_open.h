// Opening what the program reaches by a path it formed itself, judged on the
// handle it got. Every open here names the entry itself (a link there is
// opened as the link, never followed) and compares the path the handle really
// reaches with the path formed, so a junction or mount point anywhere above,
// put there at any moment before the open, is seen. What may be another
// user's is judged first on an open with attribute and descriptor access only
// and full sharing: such an open breaks no oplock, so it never waits on
// whoever made the entry; the opens that could wait come only after it passed.
#pragma once
#include <cstddef>
#include <string>

#include "os/devices.h"
#include "os/files.h"

// The full path of `path` as the system reads it (GetFullPathNameA: relative
// to the current folder, separators run together, "." and ".." resolved);
// "" when it cannot be formed.
std::string FullPathOf(const std::string& path);

// Whether the path `handle` reaches (GetFinalPathNameByHandleA, "\\?\" and
// "\\?\UNC\" dropped) is FullPathOf(formed), names compared as the file system compares
// them (case ignored, double-byte characters whole), a final "\" ignored.
[[nodiscard]] bool IsAtFormedPath(os::HANDLE handle, const std::string& formed);

// A judge of an entry by its open handle (READ_CONTROL and
// FILE_READ_ATTRIBUTES access): its owner, its access list.
using EntryJudge = bool (*)(os::HANDLE);

// Opens `path` itself for judging only (FILE_READ_ATTRIBUTES | READ_CONTROL,
// every sharing) and reads what it is into `info`; INVALID_HANDLE_VALUE when
// it cannot be opened or read. Closed by the caller.
[[nodiscard]] os::HANDLE OpenToJudge(const std::string& path, os::BY_HANDLE_FILE_INFORMATION& info);

// A folder that is no link, and a file that is neither a link nor a folder
// and has one name only (another name could be any file at all).
bool IsPlainFolder(const os::BY_HANDLE_FILE_INFORMATION& info);
bool IsPlainFile(const os::BY_HANDLE_FILE_INFORMATION& info);

// Opens the plain folder at exactly `path` and judges it there (approved by
// `judge` when one is given), keeping the judging handle: it waits on nobody
// and holds nothing by sharing, so it serves for folders nobody but the
// system can rename (%ALLUSERSPROFILE%, the Windows folder) or whose every
// later open is checked on its own handle (the /log file's folder).
// INVALID_HANDLE_VALUE when refused.
[[nodiscard]] os::HANDLE OpenJudgedFolder(const std::string& path, EntryJudge judge = nullptr);

// Holds the folder at exactly `path` in place for as long as the handle is
// open: judged first (OpenJudgedFolder), then opened for listing without
// delete sharing, so neither
// it nor any folder above it can be renamed, deleted or replaced meanwhile
// (an open with attribute access only takes no part in sharing and would
// hold nothing). That open could wait on an oplock: only for folders of the
// program's own, which nobody else can open. Not inheritable.
// INVALID_HANDLE_VALUE when refused.
[[nodiscard]] os::HANDLE HoldFolderInPlace(const std::string& path, EntryJudge judge = nullptr);

// Opens the plain file at exactly `path` for reading, sharing reads only:
// while the handle is open the file cannot be written, renamed or deleted.
// INVALID_HANDLE_VALUE when refused.
[[nodiscard]] os::HANDLE HoldFileForReading(const std::string& path);

// The whole file at `path`, read through HoldFileForReading's handle; false
// when it is refused, empty, larger than `limit` bytes or cannot be read.
[[nodiscard]] bool ReadCheckedFile(const std::string& path, std::size_t limit, std::string& bytes);
