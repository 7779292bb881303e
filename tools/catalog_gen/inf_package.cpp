#include "inf_package.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace inf_package {
namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  const auto e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> Split(const std::string& s, char by) {
  std::vector<std::string> parts;
  std::istringstream in(s);
  for (std::string part; std::getline(in, part, by);) parts.push_back(Trim(part));
  return parts;
}

// Section names are case-insensitive: the map keys are lower case.
using Lines = std::vector<std::pair<std::string, std::string>>;
std::map<std::string, Lines> Sections(const std::string& text) {
  std::map<std::string, Lines> sections;
  std::istringstream in(text);
  std::string line, current;
  while (std::getline(in, line)) {
    const auto semicolon = line.find(';');
    if (semicolon != std::string::npos && line.find('"') > semicolon) line.erase(semicolon);
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      current = Lower(line.substr(1, line.size() - 2));
      sections[current];
      continue;
    }
    const auto eq = line.find('=');
    sections[current].emplace_back(Trim(line.substr(0, eq)), eq == std::string::npos ? "" : Trim(line.substr(eq + 1)));
  }
  return sections;
}

std::string Value(const Lines& lines, const std::string& key) {
  for (const auto& kv : lines) {
    if (Lower(kv.first) == Lower(key)) return kv.second;
  }
  return std::string();
}

// Every value of a key a section may repeat (CopyFiles: bitmap.inf has three).
std::vector<std::string> Values(const Lines& lines, const std::string& key) {
  std::vector<std::string> values;
  for (const auto& kv : lines) {
    if (Lower(kv.first) == Lower(key)) values.push_back(kv.second);
  }
  return values;
}

// ".\i386" -> "i386/"; "" -> "".
std::string Folder(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  while (path.compare(0, 2, "./") == 0) path.erase(0, 2);
  while (!path.empty() && path.front() == '/') path.erase(0, 1);
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

}  // namespace

bool Read(const std::string& infName, const std::string& text, Package* out, std::string* error) {
  auto sections = Sections(text);
  *out = Package();
  out->catalogFile = Value(sections["version"], "CatalogFile");
  out->files.push_back(infName);
  int models = 0;
  const auto add = [out](const std::string& path) {
    if (std::find(out->files.begin(), out->files.end(), path) == out->files.end()) out->files.push_back(path);
  };
  for (const auto& manufacturer : sections["manufacturer"]) {
    const std::vector<std::string> decorated = Split(manufacturer.second, ',');
    for (std::size_t d = 1; d < decorated.size(); ++d) {
      // NTx86 / NTamd64, optionally followed by an OS version ("NTamd64.10.0").
      const std::string platform = Lower(Split(decorated[d], '.')[0]);
      const std::string arch = platform == "ntx86" ? "x86" : platform == "ntamd64" ? "amd64" : platform.substr(2);
      for (const auto& model : sections[Lower(decorated[0] + "." + decorated[d])]) {
        const std::vector<std::string> fields = Split(model.second, ',');
        for (std::size_t i = 1; i < fields.size(); ++i) {
          const std::string id = Lower(fields[i]);
          if (std::find(out->hardwareIds.begin(), out->hardwareIds.end(), id) == out->hardwareIds.end()) {
            out->hardwareIds.push_back(id);
          }
        }
        ++models;
        const Lines& install = sections[Lower(fields[0])];
        std::vector<std::string> names;
        for (const std::string& directive : Values(install, "CopyFiles")) {
          for (const std::string& list : Split(directive, ',')) {
            if (!list.empty() && list[0] == '@') {
              names.push_back(list.substr(1));
              continue;
            }
            // destination-file-name[,source-file-name[,...]]: the package holds the source.
            for (const auto& file : sections[Lower(list)]) {
              const std::vector<std::string> entry = Split(file.first, ',');
              names.push_back(entry.size() > 1 && !entry[1].empty() ? entry[1] : entry[0]);
            }
          }
        }
        if (!Value(install, "DataFile").empty()) names.push_back(Value(install, "DataFile"));
        for (const std::string& name : names) {
          // name = diskid[,subdir] and diskid = description[,tag[,unused[,path]]]: the file lies in path/subdir.
          std::string fileLine = Value(sections["sourcedisksfiles." + arch], name);
          if (fileLine.empty()) fileLine = Value(sections["sourcedisksfiles"], name);
          const std::vector<std::string> fileFields = Split(fileLine, ',');
          const std::string disk = fileFields.empty() ? std::string() : fileFields[0];
          std::string diskLine = Value(sections["sourcedisksnames." + arch], disk);
          if (diskLine.empty()) diskLine = Value(sections["sourcedisksnames"], disk);
          if (disk.empty() || diskLine.empty()) {
            *error = name + " has no source disk for " + arch;
            return false;
          }
          const std::vector<std::string> diskFields = Split(diskLine, ',');
          add(Folder(diskFields.size() > 3 ? diskFields[3] : std::string()) +
              Folder(fileFields.size() > 1 ? fileFields[1] : std::string()) + name);
        }
      }
    }
  }
  if (models == 0) {
    *error = infName + " names no model";
    return false;
  }
  return true;
}

}  // namespace inf_package
