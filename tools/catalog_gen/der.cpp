#include "der.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace der {

Bytes Wrap(unsigned char tag, const Bytes& contents) {
  Bytes out(1, static_cast<char>(tag));
  const std::size_t n = contents.size();
  if (n < 0x80) {
    out += static_cast<char>(n);
  } else {
    Bytes length;
    for (std::size_t v = n; v; v >>= 8) length.insert(length.begin(), static_cast<char>(v & 0xFF));
    out += static_cast<char>(0x80 | length.size());
    out += length;
  }
  return out + contents;
}

Bytes Sequence(const std::vector<Bytes>& parts) {
  Bytes contents;
  for (const Bytes& p : parts) contents += p;
  return Wrap(0x30, contents);
}

Bytes SetOf(std::vector<Bytes> parts) {
  // Octets compare as unsigned values.
  std::sort(parts.begin(), parts.end(), [](const Bytes& a, const Bytes& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  });
  Bytes contents;
  for (const Bytes& p : parts) contents += p;
  return Wrap(0x31, contents);
}

Bytes Oid(const std::string& dotted) {
  std::vector<std::uint64_t> arcs;
  for (std::size_t pos = 0; pos <= dotted.size();) {
    const std::size_t dot = std::min(dotted.find('.', pos), dotted.size());
    arcs.push_back(std::strtoull(dotted.substr(pos, dot - pos).c_str(), nullptr, 10));
    pos = dot + 1;
  }
  Bytes contents;
  for (std::size_t i = 1; i < arcs.size(); ++i) {
    std::uint64_t v = i == 1 ? arcs[0] * 40 + arcs[1] : arcs[i];
    Bytes base128(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) base128.insert(base128.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    contents += base128;
  }
  return Wrap(0x06, contents);
}

Bytes Integer(std::int64_t value) {
  Bytes contents;
  for (int shift = 56; shift >= 0; shift -= 8) contents += static_cast<char>((value >> shift) & 0xFF);
  // Shortest two's complement form: drop a leading octet that only repeats the sign.
  while (contents.size() > 1 && ((contents[0] == 0 && !(contents[1] & 0x80)) ||
                                 (contents[0] == '\xFF' && (contents[1] & 0x80)))) {
    contents.erase(0, 1);
  }
  return Wrap(0x02, contents);
}

Bytes Null() { return Bytes("\x05\x00", 2); }

Bytes OctetString(const Bytes& octets) { return Wrap(0x04, octets); }

Bytes BmpString(const std::string& ascii) {
  Bytes contents;
  for (char c : ascii) (contents += '\0') += c;
  return Wrap(0x1E, contents);
}

Bytes Time(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  const int year = tm.tm_year + 1900;
  char text[32];
  if (year >= 1950 && year < 2050) {
    std::strftime(text, sizeof text, "%y%m%d%H%M%SZ", &tm);
    return Wrap(0x17, text);
  }
  std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &tm);
  return Wrap(0x18, text);
}

Bytes Explicit(int n, const Bytes& inner) { return Wrap(static_cast<unsigned char>(0xA0 | n), inner); }

Bytes ImplicitPrimitive(int n, const Bytes& contents) { return Wrap(static_cast<unsigned char>(0x80 | n), contents); }

Bytes ContentsOf(const Bytes& encoding) {
  if (encoding.size() < 2) return Bytes();
  const unsigned char first = static_cast<unsigned char>(encoding[1]);
  std::size_t header = 2, length = first;
  if (first & 0x80) {
    const std::size_t count = first & 0x7F;
    if (count == 0 || count > sizeof(std::size_t) || encoding.size() < 2 + count) return Bytes();
    length = 0;
    for (std::size_t i = 0; i < count; ++i) length = length << 8 | static_cast<unsigned char>(encoding[2 + i]);
    header += count;
  }
  if (encoding.size() - header != length) return Bytes();
  return encoding.substr(header);
}

Bytes Utf16LeZ(const std::string& ascii) {
  Bytes out;
  for (char c : ascii) (out += c) += '\0';
  return out + Bytes(2, '\0');
}

std::string Hex(const Bytes& octets) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : octets) (out += digits[c >> 4]) += digits[c & 0xF];
  return out;
}

}  // namespace der
