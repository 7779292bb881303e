// Unpacking of a zip archive into a folder, entry by entry in stored order.
#pragma once
#include <string>

// Unpacks the archive at `archivePath` into `destination` (created with its
// parents when missing): folder entries (attribute 0x10) become folders, file
// entries become files of the same relative name, replacing existing ones.
// `password` may be null; a password is never usable (no decryption support).
// Each file is created new (see NewFile). Returns 0 on success; the archive
// library's negative code when the archive cannot be opened (-102) or an
// entry's record cannot be read; -1 for any other failure: a write that fails
// (a full disk), a read, inflate or checksum error, an entry whose data ends
// before (or runs past) its stated size, a directory that does not end after
// its counted entries, an entry larger than
// 64 MiB, or one whose name is absolute, names a drive, stream or device
// (CON, NUL.txt, COM1, ...), climbs out with "..", or does not fit the
// 260-byte name buffer.
[[nodiscard]] int ExtractArchive(const std::string& archivePath, const std::string& destination, const char* password);
