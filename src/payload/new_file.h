// Files that the program writes are always its own: created new, on the name
// itself, so nothing planted at the name (a link, a hard link to another
// file, a file someone else holds open) is ever written through.
#pragma once
#include <cstddef>
#include <string>

#include "os/devices.h"

class NewFile {
 public:
  // Removes what is at `path` as a name (a file, a hard link or a link of
  // either kind, never what a link points at), then creates the file with
  // CREATE_NEW and no sharing. A plain folder at `path`, a name that cannot
  // be removed, or a handle whose final path is not `path` leaves the file
  // unopened.
  explicit NewFile(const std::string& path);
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  explicit operator bool() const { return handle_.valid(); }
  // Writes all `size` bytes; false when a write fails or makes no progress
  // (a full disk).
  [[nodiscard]] bool Write(const void* bytes, std::size_t size);

 private:
  os::OwnedHandle handle_;
};
