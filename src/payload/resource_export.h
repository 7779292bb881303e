// Export of an embedded archive (a "ZIPRES" resource) to a file.
#pragma once
#include <string>

// Writes the "ZIPRES" resource with integer id `id` (taken as 16 bits) from
// the program's own module to `path` as a new file (see NewFile), replacing
// an existing one. False when the resource is missing or cannot be loaded,
// the file cannot be created, or a write fails (a full disk); a file left
// half-written is then deleted.
[[nodiscard]] bool ExportResource(const std::string& path, int id);
