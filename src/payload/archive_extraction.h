// Unpacking of a zip archive into a folder, entry by entry in stored order.
#pragma once
#include <string>

// Unpacks the archive at `archivePath` into `destination` (created with its
// parents when missing): folder entries (attribute 0x10) become folders, file
// entries become files of the same relative name, replacing existing ones.
// `password` may be null; a password is never usable (no decryption support).
// Returns 0 on success; the archive library's negative code when the archive
// cannot be opened (-102) or an entry's record cannot be read; -1 for any
// other failure, including an entry whose name is absolute, names a drive or
// stream, climbs out with "..", or does not fit the 260-byte name buffer.
int ExtractArchive(const std::string& archivePath, const std::string& destination, const char* password);
