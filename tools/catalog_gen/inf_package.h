// What a printer setup information file puts into its catalog: the catalog's
// name, the files it installs (with their folder in the package, from the
// source-disk sections of each platform) and its hardware ids.
// The INF rules read here, from Microsoft's pages (learn.microsoft.com/
// windows-hardware/drivers/install/): section names are case-insensitive and
// ';' starts a comment outside quotes ("General Syntax Rules for INF Files");
// a [Manufacturer] line names its models section decorated per platform, a
// model line is description=install-section[,hw-id...] with the ids optional
// ("INF Manufacturer Section", "INF Models Section"); an install section may
// repeat CopyFiles=, each @file or file-list sections whose lines are
// destination[,source] ("INF CopyFiles Directive"); a printer's DataFile= is
// one more file ("Printer INF File Entries"); a file lies at SourceDisksNames'
// path (4th field) plus SourceDisksFiles' subdir (2nd field), the .x86/.amd64/
// .arm64 decorated sections first ("INF SourceDisksNames Section", "INF
// SourceDisksFiles Section"). Checked on Microsoft's bitmap.inf
// (microsoft/Windows-driver-samples, print/OEM Printer Customization Plug-in
// Samples/C++/bitmap.inf): three CopyFiles lines, subdirs per platform, models
// without hardware ids. Files that Include=/Needs= bring from NTPRINT.INF are
// Windows' own and are not in the package.
#pragma once

#include <string>
#include <vector>

namespace inf_package {

struct Package {
  std::string catalogFile;               // [Version] CatalogFile=, empty when absent
  std::vector<std::string> files;        // package-relative paths with '/', the INF itself first, no repeats
  std::vector<std::string> hardwareIds;  // lower case, in the order the model lines name them
};

// Reads the INF text (named infName in the package); false with *error set
// when a copied file has no source disk or the text names no model.
bool Read(const std::string& infName, const std::string& text, Package* out, std::string* error);

}  // namespace inf_package
