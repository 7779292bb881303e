#include "payload/working_path.h"

#include <algorithm>
#include <cstring>

#include "os/files.h"
#include "payload/text.h"

namespace {

// Trail bytes of double-byte characters are 0x40 or above, so no byte of one
// is ever taken for white space.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string Normalised(const std::string& text) {
  std::string::size_type end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  std::string::size_type begin = 0;
  while (begin < end && IsSpace(text[begin])) ++begin;
  std::string out = text.substr(begin, end - begin);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

}  // namespace

std::string JoinPath(const std::string& base, const std::string& relative) {
  std::string b = Normalised(base);
  std::string r = Normalised(relative);
  if (!payload::EndsWithBackslash(b)) b += '\\';
  if (!r.empty() && r[0] == '\\') r.erase(0, 1);
  return b + r;
}

std::string WorkingPath(const std::string& relative) {
  char base[os::MAX_PATH] = {};
  const os::DWORD needed = os::ExpandEnvironmentStringsA("%ALLUSERSPROFILE%\\Tovlan", base, sizeof base);
  // The result counts the terminating NUL; anything larger than the buffer
  // left it truncated (and perhaps unterminated).
  if (needed == 0 || needed > sizeof base) return std::string();
  return JoinPath(std::string(base, strnlen(base, sizeof base)), relative);
}
