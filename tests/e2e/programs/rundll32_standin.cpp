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
#include <windows.h>

#include <cstdio>
#include <string>

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CreateDirectoryW(L"C:\\e2e", nullptr);
  CreateDirectoryW(kFolder, nullptr);
  const std::wstring folder = CurrentFolder();
  Append(L"log.txt", Narrow(folder) + "|" + Narrow(GetCommandLineW()));
  const std::wstring verb = VerbOf(argc, argv);
  if (verb == L"/if") KeepWhatInstallWasGiven(argc, argv, folder);
  return ExitCodeFor(verb);
}
