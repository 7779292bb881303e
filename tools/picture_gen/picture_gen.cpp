// Renders a scene file (see scene.h) into one of the picture formats the
// program embeds:
//   bmp24          24-bit bottom-up BMP (the dialog's side picture)
//   bmp8-topfirst  8-bit BMP, palette 0 black .. 255 white, pixel rows at
//                  offset 1078 stored top row first (the test-page picture)
//   ico32          icon file with one 32-bit image (the dialog's icon)
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene.h"

namespace {

class Writer {
 public:
  void u8(std::uint8_t v) { bytes.push_back(v); }
  void u16(std::uint16_t v) { u8(v & 0xFF); u8(v >> 8); }
  void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
  std::vector<std::uint8_t> bytes;
};

void InfoHeader(Writer& w, int width, int height, int bits, std::uint32_t imageSize, std::uint32_t colours) {
  w.u32(40);
  w.u32(static_cast<std::uint32_t>(width));
  w.u32(static_cast<std::uint32_t>(height));
  w.u16(1);
  w.u16(static_cast<std::uint16_t>(bits));
  w.u32(0);
  w.u32(imageSize);
  w.u32(2835);  // 72 dpi
  w.u32(2835);
  w.u32(colours);
  w.u32(0);
}

std::vector<std::uint8_t> Bmp24(Canvas& c) {
  const int stride = (c.width * 3 + 3) & ~3;
  const std::uint32_t image = static_cast<std::uint32_t>(stride * c.height);
  Writer w;
  w.u16(0x4D42);
  w.u32(54 + image);
  w.u32(0);
  w.u32(54);
  InfoHeader(w, c.width, c.height, 24, image, 0);
  for (int y = c.height - 1; y >= 0; --y) {
    for (int x = 0; x < c.width; ++x) {
      w.u8(c.at(x, y).b);
      w.u8(c.at(x, y).g);
      w.u8(c.at(x, y).r);
    }
    for (int p = c.width * 3; p < stride; ++p) w.u8(0);
  }
  return w.bytes;
}

std::vector<std::uint8_t> Bmp8TopFirst(Canvas& c) {
  const int stride = (c.width + 3) & ~3;
  const std::uint32_t image = static_cast<std::uint32_t>(stride * c.height);
  Writer w;
  w.u16(0x4D42);
  w.u32(1078 + image);
  w.u32(0);
  w.u32(1078);
  InfoHeader(w, c.width, c.height, 8, image, 256);
  for (int i = 0; i < 256; ++i) {
    w.u8(static_cast<std::uint8_t>(i));
    w.u8(static_cast<std::uint8_t>(i));
    w.u8(static_cast<std::uint8_t>(i));
    w.u8(0);
  }
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const Rgba p = c.at(x, y);
      const int luma = (p.r * 299 + p.g * 587 + p.b * 114) / 1000;
      w.u8(luma < 128 ? 0 : 255);  // a two-tone picture: index 0 black, 255 white
    }
    for (int p = c.width; p < stride; ++p) w.u8(255);
  }
  return w.bytes;
}

std::vector<std::uint8_t> Ico32(Canvas& c) {
  const std::uint32_t maskStride = static_cast<std::uint32_t>(((c.width + 31) / 32) * 4);
  const std::uint32_t image = static_cast<std::uint32_t>(c.width * 4 * c.height) + maskStride * c.height;
  Writer w;
  w.u16(0);  // ICONDIR
  w.u16(1);
  w.u16(1);
  w.u8(static_cast<std::uint8_t>(c.width));  // ICONDIRENTRY
  w.u8(static_cast<std::uint8_t>(c.height));
  w.u8(0);
  w.u8(0);
  w.u16(1);
  w.u16(32);
  w.u32(40 + image);
  w.u32(6 + 16);
  InfoHeader(w, c.width, c.height * 2, 32, image, 0);
  for (int y = c.height - 1; y >= 0; --y) {
    for (int x = 0; x < c.width; ++x) {
      const Rgba p = c.at(x, y);
      w.u8(p.b);
      w.u8(p.g);
      w.u8(p.r);
      w.u8(p.a);
    }
  }
  for (int y = c.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < c.width; ++x) {
      if (c.at(x, y).a == 0) row[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    for (auto b : row) w.u8(b);
  }
  return w.bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: picture_gen SCENE bmp24|bmp8-topfirst|ico32 OUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "picture_gen: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  Canvas canvas;
  std::string error;
  if (!RenderScene(text.str(), canvas, error)) {
    std::fprintf(stderr, "picture_gen: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::string format = argv[2];
  std::vector<std::uint8_t> bytes;
  if (format == "bmp24") bytes = Bmp24(canvas);
  else if (format == "bmp8-topfirst") bytes = Bmp8TopFirst(canvas);
  else if (format == "ico32") bytes = Ico32(canvas);
  else {
    std::fprintf(stderr, "picture_gen: unknown format %s\n", argv[2]);
    return 2;
  }
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
