// Folder operations shared by the staging, the extraction and the commands.
// None shows a message; each reports success as a boolean.
#pragma once
#include <string>

#include "os/os_types.h"

// Makes sure the absolute folder `path` (with a drive, e.g. "C:\a\b") exists,
// creating each missing folder from the root down. False for an empty path,
// a path without a drive colon, a file in the way, a path too long for its
// 260-character buffer with the closing backslash, or a failed creation.
// Folders created before a failure stay.
[[nodiscard]] bool CreateFolderChain(const std::string& path);

// Makes sure the folder part of the file path `path` exists (the part before
// its last "\"; "/" is no separator here). False for a path over 1023
// characters.
[[nodiscard]] bool CreateFolderForFile(const std::string& path);

// Deletes the folder `path` with everything in it. Each folder is opened
// and checked before its entries go, so links (junctions and symbolic links),
// wherever they are met or swapped in, are removed as links and never
// followed; a link given as `path` is removed itself. True only when `path`
// is gone at the end: a missing folder, an empty path or a deletion that
// failed (a file in use) gives false.
// With `accept`, a folder that refuses DELETE access (another program holds
// it without delete sharing) is left as it is, and the folder is deleted only
// when `accept` approves the handle it is held by while its entries go.
[[nodiscard]] bool DeleteFolderTree(const std::string& path, bool (*accept)(os::HANDLE) = nullptr);

// Deletes every entry of the folder `path` (which the caller holds open), as
// DeleteFolderTree does; true when the folder is empty at the end.
[[nodiscard]] bool DeleteFolderContents(const std::string& path);

// Makes the name `path` free for a new file: a file, hard link or link of
// either kind there is removed as a name, never followed. False when a plain
// folder is there or the name cannot be removed.
[[nodiscard]] bool ClearFileName(const std::string& path);
