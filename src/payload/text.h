// Byte-level helpers for 8-bit paths in the ANSI code page, where a
// double-byte character's trail byte may be 0x5C and is then no backslash.
#pragma once
#include <string>

namespace payload {

// Whether the last character of `text` (not merely its last byte) is "\".
bool EndsWithBackslash(const std::string& text);

// The offset of the first "\" at or after `from` that is a character of its
// own (not a trail byte); npos if there is none.
std::string::size_type NextBackslash(const std::string& text, std::string::size_type from);

}  // namespace payload
