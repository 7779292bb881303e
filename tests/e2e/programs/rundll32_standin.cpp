// Stand-in for rundll32 in a test prefix: Wine's printer UI entry parses
// "/if", "/y" and "/dl" but carries none of them out and always exits 0.
// Reads its script from C:\e2e\rundll32\:
//   answers.txt  lines "VERB CODE" (VERB one of /if, /y, /dl): the exit code
//                of a command line with that verb (else 0)
// and appends one line "FOLDER|COMMAND LINE" per start to log.txt (the
// current folder, then the command line exactly as the program was given it).
// For "/if" it also copies what it was given to look at: the current folder,
// whole, into seen\ (replacing an earlier copy), and the file after "/f" to
// given.inf; missing-given.txt notes a "/f" file that was not there.
//
// With act.txt present it also does what the system's printer UI would, on
// Wine's own spooler, so that a whole install-test-uninstall cycle can be
// checked: "/if" adds the driver from the package (its files copied into the
// driver folder) and the printer on the given port, shared with "/Z"; "/y"
// makes the printer the default; "/dl" deletes it. A spooler call that fails
// is noted in spooler.txt and makes the exit code 1.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kFolder[] = L"C:\\e2e\\rundll32\\";

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Path(const wchar_t* name) { return std::wstring(kFolder) + name; }

void Append(const wchar_t* name, const std::string& line) {
  if (FILE* f = _wfopen(Path(name).c_str(), L"ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::wstring CurrentFolder() {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buffer);
  return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer) : std::wstring();
}

// The verb of a printer UI command line: its first argument that is one.
std::wstring VerbOf(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    for (const wchar_t* verb : {L"/if", L"/y", L"/dl"}) {
      if (_wcsicmp(argv[i], verb) == 0) return verb;
    }
  }
  return L"";
}

int ExitCodeFor(const std::wstring& verb) {
  FILE* f = _wfopen(Path(L"answers.txt").c_str(), L"rb");
  if (f == nullptr) return 0;
  char word[64];
  int code = 0;
  int found = 0;
  while (std::fscanf(f, "%63s %d", word, &code) == 2) {
    if (_stricmp(word, Narrow(verb).c_str()) == 0) {
      found = code;
      break;
    }
  }
  std::fclose(f);
  return found;
}

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    } else {
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

void KeepWhatInstallWasGiven(int argc, wchar_t** argv, const std::wstring& folder) {
  std::wstring here = folder;
  while (!here.empty() && here.back() == L'\\') here.pop_back();
  DeleteTree(Path(L"seen"));
  CopyTree(here, Path(L"seen"));
  for (int i = 1; i + 1 < argc; ++i) {
    if (_wcsicmp(argv[i], L"/f") != 0) continue;
    if (!CopyFileW(argv[i + 1], Path(L"given.inf").c_str(), FALSE)) Append(L"missing-given.txt", Narrow(argv[i + 1]));
  }
}

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
}

// The argument after option `name` ("" when absent).
std::string OptionValue(int argc, wchar_t** argv, const wchar_t* name) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (_wcsicmp(argv[i], name) == 0) return Ansi(argv[i + 1]);
  }
  return "";
}

bool HasOption(int argc, wchar_t** argv, const wchar_t* name) {
  for (int i = 1; i < argc; ++i) {
    if (_wcsicmp(argv[i], name) == 0) return true;
  }
  return false;
}

bool Acting() { return GetFileAttributesW(Path(L"act.txt").c_str()) != INVALID_FILE_ATTRIBUTES; }

int Failed(const char* call) {
  Append(L"spooler.txt", std::string(call) + " failed: " + std::to_string(GetLastError()));
  return 1;
}

// "/if": the driver from the package next to the setup information file, then the printer.
int AddDriverAndPrinter(int argc, wchar_t** argv) {
  std::string inf = OptionValue(argc, argv, L"/f");
  const std::string package = inf.substr(0, inf.find_last_of('\\'));
  const std::string model = OptionValue(argc, argv, L"/m");
  // A printer of the universal printer driver: unidrv with the model's printer
  // description as data file, its plug-in and settings as dependent files.
  std::string plugin = package + "\\i386\\" + model + ".dll";
  std::string data = package + "\\" + model + ".gpd";
  std::string settings = package + "\\" + model + ".ini";
  std::string driverPath = "unidrv.dll";
  std::string configPath = "unidrvui.dll";
  std::vector<char> dependent(model.size() * 2 + 16, '\0');
  const int first = std::snprintf(dependent.data(), dependent.size(), "%s.dll", model.c_str());
  std::snprintf(dependent.data() + first + 1, dependent.size() - first - 1, "%s.ini", model.c_str());
  DRIVER_INFO_3A driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(model.c_str());
  driver.pDriverPath = &driverPath[0];
  driver.pDataFile = &data[0];
  driver.pConfigFile = &configPath[0];
  driver.pDependentFiles = dependent.data();
  driver.pDefaultDataType = const_cast<char*>("RAW");
  // The model files go into the spooler's version-3 driver folder, as the
  // system's installation puts them there.
  char directory[MAX_PATH] = {};
  DWORD size = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory, &size)) {
    return Failed("GetPrinterDriverDirectoryA");
  }
  const std::string versionFolder = std::string(directory) + "\\3\\";
  CreateDirectoryA(versionFolder.c_str(), nullptr);
  for (const std::string& file : {plugin, data, settings}) {
    const std::string name = file.substr(file.find_last_of('\\') + 1);
    if (!CopyFileA(file.c_str(), (versionFolder + name).c_str(), FALSE)) return Failed("CopyFileA");
  }
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), 0)) {
    return Failed("AddPrinterDriverExA");
  }
  std::string name = OptionValue(argc, argv, L"/b");
  std::string port = OptionValue(argc, argv, L"/r");
  PRINTER_INFO_2A printer{};
  printer.pPrinterName = &name[0];
  printer.pPortName = &port[0];
  printer.pDriverName = driver.pName;
  printer.pPrintProcessor = const_cast<char*>("winprint");
  printer.pDatatype = const_cast<char*>("RAW");
  printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  // With a device mode of its own the spooler does not ask the driver for
  // one (the package's plug-in has no user-interface entry points).
  DEVMODEA mode{};
  lstrcpynA(reinterpret_cast<char*>(mode.dmDeviceName), name.c_str(), CCHDEVICENAME);
  mode.dmSpecVersion = DM_SPECVERSION;
  mode.dmSize = sizeof(mode);
  printer.pDevMode = &mode;
  if (HasOption(argc, argv, L"/Z")) {
    printer.Attributes |= PRINTER_ATTRIBUTE_SHARED;
    printer.pShareName = &name[0];
  }
  HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (added == nullptr) return Failed("AddPrinterA");
  ClosePrinter(added);
  return 0;
}

int DeleteNamedPrinter(int argc, wchar_t** argv) {
  std::string name = OptionValue(argc, argv, L"/n");
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterA(&name[0], &printer, &access)) return Failed("OpenPrinterA");
  const BOOL deleted = DeletePrinter(printer);
  ClosePrinter(printer);
  return deleted ? 0 : Failed("DeletePrinter");
}

int MakeDefault(int argc, wchar_t** argv) {
  const std::string name = OptionValue(argc, argv, L"/n");
  return SetDefaultPrinterA(name.c_str()) ? 0 : Failed("SetDefaultPrinterA");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CreateDirectoryW(L"C:\\e2e", nullptr);
  CreateDirectoryW(kFolder, nullptr);
  const std::wstring folder = CurrentFolder();
  Append(L"log.txt", Narrow(folder) + "|" + Narrow(GetCommandLineW()));
  const std::wstring verb = VerbOf(argc, argv);
  if (verb == L"/if") KeepWhatInstallWasGiven(argc, argv, folder);
  const int scripted = ExitCodeFor(verb);
  if (scripted != 0 || !Acting()) return scripted;
  if (verb == L"/if") return AddDriverAndPrinter(argc, argv);
  if (verb == L"/y") return MakeDefault(argc, argv);
  if (verb == L"/dl") return DeleteNamedPrinter(argc, argv);
  return 0;
}
