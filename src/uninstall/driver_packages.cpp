#include "uninstall/driver_packages.h"

#include <cstring>

#include "os/files.h"
#include "process/system_program.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether `text` holds `part` with ASCII case ignored, starting only at
// character boundaries of the ANSI code page (as StrStrIA matches).
bool ContainsIgnoringCase(const std::string& text, const char* part) {
  const std::size_t n = std::strlen(part);
  for (std::size_t i = 0; i + n <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < n && Lower(text[i + k]) == Lower(part[k])) ++k;
    if (k == n) return true;
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(text[i])) && i + 1 < text.size()) ++i;  // skip the trail byte
  }
  return false;
}

// The last whitespace-separated word of a line (its line end and any
// carriage return before it are not part of it).
std::string LastWord(const std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && IsSpace(line[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && !IsSpace(line[start - 1])) --start;
  return line.substr(start, end - start);
}

bool IsBlank(const std::string& line) {
  for (char c : line) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

std::string WithoutCarriageReturn(std::string name) {
  if (!name.empty() && name.back() == '\r') name.pop_back();
  return name;
}

}  // namespace

std::string PublishedNameBefore(const char* previousLine) {
  const char* space = std::strrchr(previousLine, ' ');
  const char* tail = space != nullptr ? space + 1 : previousLine;
  const char* newline = std::strchr(tail, '\n');
  return newline != nullptr ? std::string(tail, newline) : std::string();
}

bool IsPublishedName(const std::string& word) {
  if (word.size() < 8) return false;  // "oem" + a digit + ".inf"
  if (Lower(word[0]) != 'o' || Lower(word[1]) != 'e' || Lower(word[2]) != 'm') return false;
  const std::size_t suffix = word.size() - 4;
  if (Lower(word[suffix]) != '.' || Lower(word[suffix + 1]) != 'i' || Lower(word[suffix + 2]) != 'n' ||
      Lower(word[suffix + 3]) != 'f') {
    return false;
  }
  for (std::size_t i = 3; i < suffix; ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
  }
  return true;
}

bool PackageListingParser::Feed(const char* piece, std::string& publishedName) {
  const std::string line(piece);
  const bool startsLine = atLineStart_;
  atLineStart_ = !line.empty() && line.back() == '\n';

  bool names = false;
  if (ContainsIgnoringCase(line, kPackageProvider)) {
    const std::string plain = WithoutCarriageReturn(PublishedNameBefore(previous_.c_str()));
    if (IsPublishedName(plain)) {
      publishedName = plain;
    } else if (!lastNameInPackage_.empty()) {
      publishedName = lastNameInPackage_;
    } else {
      publishedName = plain;
    }
    names = true;
  }

  if (startsLine && IsBlank(line)) {
    lastNameInPackage_.clear();  // the next package begins
  } else {
    const std::string word = LastWord(line);
    if (IsPublishedName(word)) lastNameInPackage_ = word;
  }
  previous_ = line;
  return names;
}

std::vector<std::string> ProductPackagesInListing(const char* listing, std::size_t size, int pieceSize) {
  std::vector<std::string> names;
  PackageListingParser parser;
  const std::size_t most = pieceSize > 1 ? static_cast<std::size_t>(pieceSize - 1) : 1;
  std::size_t at = 0;
  while (at < size) {
    // As fgets reads: up to and including a newline, at most `most` bytes.
    std::size_t n = 0;
    while (n < most && at + n < size && listing[at + n] != '\0') {
      const char c = listing[at + n++];
      if (c == '\n') break;
    }
    if (n == 0) {  // an embedded NUL ends a C string read; skip it
      ++at;
      continue;
    }
    std::string name;
    if (parser.Feed(std::string(listing + at, n).c_str(), name)) names.push_back(name);
    at += n;
  }
  return names;
}

bool RemoveDriverPackages(os::DWORD waitMs) {
  ProgramOutput listing("pnputil", "pnputil -e", waitMs);
  if (!listing.opened()) return false;
  PackageListingParser parser;
  char line[ProgramOutput::kLineSize];
  while (listing.ReadLine(line)) {
    std::string name;
    if (!parser.Feed(line, name)) continue;
    // Only a name of the store's own form goes on a command line; a package
    // whose name cannot be told stays, and that is a failure.
    if (!IsPublishedName(name) || RunSystemProgram("pnputil", "pnputil -f -d " + name, waitMs) != 0) {
      listing.Close();  // waits for the listing command to end
      return false;
    }
  }
  // A listing that failed (or whose end could not be told) may have left
  // packages out: nothing says they are gone.
  return listing.Close() == 0;
}
