// What a printer setup information file puts into its catalog: the catalog's
// name, the files it installs (with their folder in the package, from the
// source-disk sections of each platform) and its hardware ids.
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
