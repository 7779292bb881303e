#include "common/text_encoding.h"

#include "os/console.h"

WideText WideFromProgramText(const std::string& text) {
  if (text.empty()) return WideText();
  const int bytes = static_cast<int>(text.size());
  const int size = os::MultiByteToWideChar(os::kProgramCodePage, 0, text.data(), bytes, nullptr, 0);
  if (size <= 0) return WideText();
  WideText wide(static_cast<std::size_t>(size), os::WCHAR());
  if (os::MultiByteToWideChar(os::kProgramCodePage, 0, text.data(), bytes, &wide[0], size) != size) {
    return WideText();
  }
  return wide;
}

std::string Utf8FromProgramText(const std::string& text) {
  const WideText wide = WideFromProgramText(text);
  if (wide.empty()) return text;
  const int count = static_cast<int>(wide.size());
  const int size = os::WideCharToMultiByte(os::CP_UTF8, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return text;
  std::string utf8(static_cast<std::size_t>(size), '\0');
  if (os::WideCharToMultiByte(os::CP_UTF8, 0, wide.data(), count, &utf8[0], size, nullptr, nullptr) != size) {
    return text;
  }
  return utf8;
}
