#include "uninstall/driver_files.h"

#include <cstdio>

#include "common/printer_models.h"
#include "os/files.h"
#include "os/processes.h"
#include "os/system_info.h"
#include "payload/text.h"
#include "uninstall/driver_removal.h"

DriverFolders GetDriverFolders() {
  char buffer[1024] = {};
  os::GetSystemDirectoryA(buffer, sizeof buffer);
  DriverFolders folders;
  folders.system = buffer;
  // The last byte may be a double-byte character's trail byte 0x5C.
  if (!payload::EndsWithBackslash(folders.system)) folders.system += '\\';

  os::SYSTEM_INFO info{};
  os::GetNativeSystemInfo(&info);
  const bool x64 = info.wProcessorArchitecture == os::PROCESSOR_ARCHITECTURE_AMD64 ||
                   info.wProcessorArchitecture == os::PROCESSOR_ARCHITECTURE_IA64;
  folders.driver = folders.system + (x64 ? "spool\\drivers\\x64\\3\\" : "spool\\drivers\\w32x86\\3\\");
  return folders;
}

bool DeleteDriverFiles() {
  const DriverFolders folders = GetDriverFolders();
  static const char* const kFormats[] = {"%s%s.BUD", "%s%s.dll", "%s%s.gpd", "%s%s.ini"};
  for (const PrinterModel& model : kPrinterModels) {
    for (const char* format : kFormats) {
      char path[1024 + 64];
      std::snprintf(path, sizeof path, format, folders.driver.c_str(), model.driverName);
      if (os::PathFileExistsA(path) && !os::DeleteFileA(path)) return false;
    }
  }
  return true;
}
