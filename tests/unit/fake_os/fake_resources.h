// The fake module resources: byte blocks by type name and integer id in the
// program's own module. Tracks the blocks loaded and not yet freed.
#pragma once
#include <string>

namespace fake {

struct Resources {
  void Add(const std::string& type, int id, const std::string& bytes);
  int Loaded() const;  // LoadResource results not yet passed to FreeResource
};

Resources& resources();

}  // namespace fake
