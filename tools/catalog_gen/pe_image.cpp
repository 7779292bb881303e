#include "pe_image.h"

#include <cstdint>

namespace pe_image {
namespace {

std::uint32_t Read32(const std::string& f, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(f[at + i]);
  return v;
}

std::uint16_t Read16(const std::string& f, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(f[at]) | static_cast<unsigned char>(f[at + 1]) << 8);
}

// Offset of the optional header, or 0 when the file is no PE image.
std::size_t OptionalHeader(const std::string& f) {
  if (f.size() < 0x40 || f.compare(0, 2, "MZ") != 0) return 0;
  const std::size_t pe = Read32(f, 0x3C);
  if (pe > f.size() || f.size() - pe < 24 + 2 || f.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
  const std::uint16_t magic = Read16(f, pe + 24);
  return magic == 0x10B || magic == 0x20B ? pe + 24 : 0;
}

}  // namespace

bool IsPe(const std::string& file) { return OptionalHeader(file) != 0; }

bool DigestedRanges(const std::string& file, Digested* out) {
  const std::size_t opt = OptionalHeader(file);
  if (!opt) return false;
  const bool plus = Read16(file, opt) == 0x20B;
  const std::size_t countAt = opt + (plus ? 108 : 92);
  const std::size_t certEntry = opt + (plus ? 144 : 128);  // data directory 4 (IMAGE_DIRECTORY_ENTRY_SECURITY)
  if (certEntry + 8 > file.size() || Read32(file, countAt) < 5) return false;
  const std::size_t checksum = opt + 64;
  const std::size_t certAt = Read32(file, certEntry), certSize = Read32(file, certEntry + 4);
  std::size_t end = file.size();
  if (certAt != 0 && certSize != 0) {
    if (certAt < certEntry + 8 || certAt > file.size() || file.size() - certAt < certSize) return false;
    end = certAt;
  }
  out->ranges = {{0, checksum}, {checksum + 4, certEntry - checksum - 4}, {certEntry + 8, end - certEntry - 8}};
  out->zeroPadding = certSize == 0 && end % 8 ? 8 - end % 8 : 0;
  return true;
}

std::string DigestedBytes(const std::string& file, const Digested& parts) {
  std::string bytes;
  for (const auto& r : parts.ranges) bytes.append(file, r.first, r.second);
  return bytes.append(parts.zeroPadding, '\0');
}

}  // namespace pe_image
