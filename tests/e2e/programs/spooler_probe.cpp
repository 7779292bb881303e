// Lists what the spooler of a test prefix holds, as a 32-bit program sees it:
//   printer|NAME|DRIVER|PORT|shared or local
//   driver|NAME
//   default|NAME
// Usage: spooler_probe.exe OUTPUT-FILE
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  FILE* out = _wfopen(argv[1], L"wb");
  if (out == nullptr) return 2;
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> printers(needed + 1);
  if (EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, printers.data(), needed, &needed,
                    &count)) {
    auto* records = reinterpret_cast<PRINTER_INFO_2A*>(printers.data());
    for (DWORD i = 0; i < count; ++i) {
      std::fprintf(out, "printer|%s|%s|%s|%s\n", records[i].pPrinterName, records[i].pDriverName,
                   records[i].pPortName, (records[i].Attributes & PRINTER_ATTRIBUTE_SHARED) ? "shared" : "local");
    }
  }
  needed = count = 0;
  EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
  std::vector<BYTE> drivers(needed + 1);
  if (EnumPrinterDriversA(nullptr, nullptr, 3, drivers.data(), needed, &needed, &count)) {
    auto* records = reinterpret_cast<DRIVER_INFO_3A*>(drivers.data());
    for (DWORD i = 0; i < count; ++i) std::fprintf(out, "driver|%s\n", records[i].pName);
  }
  char name[512] = {};
  DWORD size = sizeof name;
  if (GetDefaultPrinterA(name, &size)) std::fprintf(out, "default|%s\n", name);
  std::fclose(out);
  return 0;
}
