// Stand-in for the driver store tool in a test prefix (Wine has none).
// Reads its script from C:\e2e\pnputil\:
//   listing.txt    printed as it is for "-e"
//   exitcodes.txt  lines "NAME CODE": the exit code of "-f -d NAME" (else 0);
//                  NAME "-e" gives the listing's exit code
// and appends every command line it is given (after the program name) to log.txt.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kFolder[] = "C:\\e2e\\pnputil\\";

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
  return out;
}

std::string Path(const char* name) { return std::string(kFolder) + name; }

void Log(const std::string& line) {
  if (FILE* f = std::fopen(Path("log.txt").c_str(), "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

int ExitCodeFor(const std::string& name) {
  FILE* f = std::fopen(Path("exitcodes.txt").c_str(), "rb");
  if (f == nullptr) return 0;
  char word[512];
  int code = 0;
  int found = 0;
  while (std::fscanf(f, "%511s %d", word, &code) == 2) {
    if (_stricmp(word, name.c_str()) == 0) {
      found = code;
      break;
    }
  }
  std::fclose(f);
  return found;
}

int PrintListing() {
  FILE* f = std::fopen(Path("listing.txt").c_str(), "rb");
  if (f == nullptr) return 0;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) std::fwrite(buffer, 1, n, stdout);
  std::fclose(f);
  std::fflush(stdout);
  return ExitCodeFor("-e");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::string args;
  for (int i = 1; i < argc; ++i) args += (i > 1 ? " " : "") + Narrow(argv[i]);
  Log(args);
  if (argc == 2 && wcscmp(argv[1], L"-e") == 0) return PrintListing();
  if (argc == 4 && wcscmp(argv[1], L"-f") == 0 && wcscmp(argv[2], L"-d") == 0) return ExitCodeFor(Narrow(argv[3]));
  return 1;
}
