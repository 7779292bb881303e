// The model files that may remain in the spooler's version-3 driver folder of
// the machine's native architecture. Nothing here shows a message.
#pragma once
#include <string>

struct DriverFolders {
  std::string system;  // the system folder, ending with "\"
  std::string driver;  // its "spool\drivers\<arch>\3\" folder, ending with "\"
};

// The system folder (GetSystemDirectoryA) and, from the native architecture,
// "spool\drivers\x64\3\" (AMD64, IA64) or "spool\drivers\w32x86\3\" under it.
[[nodiscard]] DriverFolders GetDriverFolders();

// Deletes "<model>.BUD", ".dll", ".gpd", ".ini" for "lumatrek", then
// "lumatrek80", in that order. A missing file counts as done; false at the
// first that exists and cannot be deleted, leaving the rest untouched.
[[nodiscard]] bool DeleteDriverFiles();
