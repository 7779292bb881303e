// A test-name suffix for a case of a TEST_P table, made from its description:
// "a full disk" becomes "AFullDisk" (letters and digits only).
#pragma once
#include <cctype>
#include <string>

inline std::string CaseName(const std::string& what) {
  std::string name;
  bool upper = true;
  for (const char c : what) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    upper = false;
  }
  return name;
}

// The name generator for INSTANTIATE_TEST_SUITE_P over cases with a `what`.
struct NameByWhat {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return CaseName(info.param.what);
  }
};
