#include "payload/text.h"

#include "os/files.h"

namespace payload {

std::string::size_type NextBackslash(const std::string& text, std::string::size_type from) {
  for (std::string::size_type i = from; i < text.size(); ++i) {
    if (text[i] == '\\') return i;
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(text[i])) && i + 1 < text.size()) ++i;
  }
  return std::string::npos;
}

bool EndsWithBackslash(const std::string& text) {
  // Walk from the start: only a forward walk knows where characters begin.
  std::string::size_type last = std::string::npos;
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    last = i;
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(text[i])) && i + 1 < text.size()) ++i;
  }
  return last != std::string::npos && last == text.size() - 1 && text[last] == '\\';
}

}  // namespace payload
