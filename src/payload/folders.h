// Folder operations shared by the staging, the extraction and the commands.
// None shows a message; each reports success as a boolean.
#pragma once
#include <string>

// Makes sure the absolute folder `path` (with a drive, e.g. "C:\a\b") exists,
// creating each missing folder from the root down. False for an empty path,
// a path without a drive colon, a file in the way, a path too long for its
// 260-character buffer with the closing backslash, or a failed creation.
// Folders created before a failure stay.
bool CreateFolderChain(const std::string& path);

// Makes sure the folder part of the file path `path` exists (the part before
// its last "\"; "/" is no separator here). False for a path over 1023
// characters.
bool CreateFolderForFile(const std::string& path);

// Deletes the folder `path` with everything in it. Links (junctions and
// symbolic links) inside are removed as links, never followed; a link given
// as `path` is removed itself. Deletions that fail (a file in use) are passed
// over. Returns whether the folder could be listed; an empty path touches
// nothing and gives false.
bool DeleteFolderTree(const std::string& path);

// Makes `path` safe to open for writing: a link (file symbolic link or
// junction) planted there is removed, so the write creates a plain file in
// its place instead of going through the link to wherever it points. False
// when a link is there and cannot be removed.
bool RemoveLinkAt(const std::string& path);
