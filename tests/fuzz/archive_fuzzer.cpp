// Unpacks arbitrary bytes as an archive into a folder of the in-memory file
// system, then walks every drive: nothing may exist outside the destination
// but what was there before, and what was there before must be untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "payload/archive_extraction.h"

namespace {

constexpr char kArchive[] = "C:\\ProgramData\\drop\\install.zip";
constexpr char kDestination[] = "C:\\ProgramData\\drop\\out";
constexpr char kNeighbour[] = "C:\\ProgramData\\drop\\keep.txt";
constexpr char kNeighbourBytes[] = "left alone";

void Fail(const std::string& what) {
  std::fprintf(stderr, "archive_fuzzer: %s\n", what.c_str());
  std::abort();
}

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool Within(const std::string& path, const std::string& folder) {
  const std::string p = Upper(path), f = Upper(folder);
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\');
}

// The paths that may exist after extraction outside the destination.
bool Expected(const std::string& path) {
  static const char* const kBefore[] = {"C:", "C:\\ProgramData", "C:\\ProgramData\\drop", kArchive, kNeighbour};
  for (const char* p : kBefore) {
    if (Upper(path) == Upper(p)) return true;
  }
  return Within(path, kDestination);
}

void Walk(const std::string& folder) {
  for (const std::string& name : fake::files().List(folder + "\\")) {
    const std::string path = folder + "\\" + name;
    if (!Expected(path)) Fail("written outside the destination: " + path);
    if (fake::files().IsLink(path)) Fail("a link appeared: " + path);
    if (fake::files().IsFolder(path)) Walk(path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fake::Reset();
  fake::files().AddFile(kArchive, std::string(reinterpret_cast<const char*>(data), size));
  fake::files().AddFile(kNeighbour, kNeighbourBytes);

  // Whatever the verdict, nothing may have been written outside the destination.
  (void)ExtractArchive(kArchive, kDestination, nullptr);

  for (char drive = 'A'; drive <= 'Z'; ++drive) {
    const std::string root = std::string(1, drive) + ":";
    if (fake::files().Exists(root + "\\")) {
      if (!Expected(root)) Fail("a drive appeared: " + root);
      Walk(root);
    }
  }
  if (fake::files().Read(kNeighbour) != kNeighbourBytes) Fail("a file beside the destination changed");
  if (fake::files().Read(kArchive) != std::string(reinterpret_cast<const char*>(data), size)) {
    Fail("the archive itself changed");
  }
  if (fake::files().OpenStreams() != 0) Fail("a stream was left open");
  if (fake::files().OpenHandles() != 0) Fail("a file handle was left open");
  if (fake::LiveBlocks() != 0) Fail("a heap block was left allocated");
  return 0;
}
