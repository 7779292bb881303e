// The parts of a PE file that its Authenticode image hash covers: the whole
// file except the header's CheckSum field, the certificate-table directory
// entry and the certificate table itself, zero-padded to 8 octets when the
// file carries no signature yet (as signing tools pad it).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pe_image {

struct Digested {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;  // offset, length, in file order
  std::size_t zeroPadding = 0;
};

// True for an "MZ" file with a PE header and an optional header of PE32 or PE32+.
bool IsPe(const std::string& file);
// Fills *out and returns true; false when the headers are cut off or point outside the file.
bool DigestedRanges(const std::string& file, Digested* out);
// The octets that are hashed, in order (for hashing in one call).
std::string DigestedBytes(const std::string& file, const Digested& parts);

}  // namespace pe_image
