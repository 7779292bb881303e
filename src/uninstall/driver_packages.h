// The product's packages in the driver store: found in the "pnputil -e"
// listing by their provider text and deleted with "pnputil -f -d NAME".
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "os/os_types.h"
#include "process/child_runs.h"

// The provider that both of the product's driver packages declare.
inline constexpr const char kPackageProvider[] = "Lumatrek Pos Printer";

// The listing rule in its plain form: the text of `previousLine` after its
// last space (all of it without a space), cut at its first newline; empty
// when that text holds no newline.
[[nodiscard]] std::string PublishedNameBefore(const char* previousLine);

// Whether `word` is a published name as the driver store gives them:
// "oem", digits, ".inf", in any case.
[[nodiscard]] bool IsPublishedName(const std::string& word);

// Reads the listing in the pieces it arrives in (lines of at most 1023 bytes,
// newline kept; a longer line comes as several pieces, each counted as a
// line). A line that holds the provider text (case ignored) names a package;
// its published name is the plain rule's over the line before when that gives
// a published name. Otherwise (a newer listing puts the package's own .inf
// name between the two lines) it is the last word of the nearest earlier line
// of the same package that is a published name (packages are separated by
// blank lines; a carriage return before the line end is ignored). With
// neither, the plain rule's text is kept as it is.
class PackageListingParser {
 public:
  // Takes the next piece; true when it names a package, with its published name.
  [[nodiscard]] bool Feed(const char* piece, std::string& publishedName);

 private:
  std::string previous_;             // the piece before, as read
  std::string lastNameInPackage_;    // nearest earlier published name of the current package
  bool atLineStart_ = true;          // the next piece starts a line
};

// The published names of the product's packages in `listing` (as the listing
// pipe gives it), in order, read in pieces of at most `pieceSize` - 1 bytes.
[[nodiscard]] std::vector<std::string> ProductPackagesInListing(const char* listing, std::size_t size, int pieceSize = 1024);

// Deletes every package of the product in the listing, in listing order,
// each while the listing is still open; "pnputil" is the system folder's.
// False when the listing cannot be started or exits nonzero (or its status
// cannot be read), a package's name is not a published name, or a delete exits
// nonzero (later packages are not tried). Each program is waited for at most
// `waitMs` (the listing's reading included); one still running then is a failure.
[[nodiscard]] bool RemoveDriverPackages(os::DWORD waitMs = kNoTimeLimit);
