// Arbitrary "pnputil -e" listings: the first byte picks the piece size the
// listing is read in (short pieces split lines as a long line would be), the
// rest is the listing. Every name found must be one word, and removal through
// the pipe must delete exactly the packages the listing parse finds, each once,
// up to the first name that is not a published name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "process/system_program.h"
#include "uninstall/driver_packages.h"

namespace {

void Fail(const std::string& what) {
  std::fprintf(stderr, "listing_fuzzer: %s\n", what.c_str());
  std::abort();
}

// The listing as a text-mode pipe hands it over: CR LF becomes LF.
std::string AsPipeGivesIt(const std::string& output) {
  std::string text;
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n') continue;
    text += output[i];
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int code = data[0] % 64;
  const int pieceSize = code == 63 ? ProgramOutput::kLineSize : code + 2;
  const std::string listing(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::vector<std::string> inPieces = ProductPackagesInListing(listing.data(), listing.size(), pieceSize);
  for (const std::string& name : inPieces) {
    if (name.find_first_of(" \n") != std::string::npos) Fail("a published name holds a space or newline");
  }

  // The pipe reads in pieces of the real line size; a NUL would end a piece
  // there as a C string does, which the listing parse skips instead, so the
  // comparison is made only without NULs.
  if (listing.find('\0') != std::string::npos) return 0;
  fake::Reset();
  fake::processes().Respond("pnputil -e", 0, listing);
  const std::string piped = AsPipeGivesIt(listing);
  const std::vector<std::string> expected = ProductPackagesInListing(piped.data(), piped.size());
  // Deletion stops at the first name that is not a published name.
  std::size_t usable = 0;
  while (usable < expected.size() && IsPublishedName(expected[usable])) ++usable;
  if (RemoveDriverPackages() != (usable == expected.size())) Fail("removal result does not match the listing");
  const std::vector<fake::Launch>& launches = fake::processes().launches;
  if (launches.size() != usable + 1) Fail("deleted a different number of packages than listed");
  for (std::size_t i = 0; i < usable; ++i) {
    if (launches[i + 1].commandLine != "pnputil -f -d " + expected[i]) {
      Fail("deleted " + launches[i + 1].commandLine + " where the listing names " + expected[i]);
    }
  }
  if (fake::processes().OpenPipes() != 0 || fake::processes().OpenHandles() != 0) Fail("a pipe or handle was left open");
  return 0;
}
