// A tiny drawing language for the program's pictures, so that each picture is
// an editable text file rendered the same way on every build.
//
//   canvas W H               size of the picture (first command)
//   fill #RRGGBB             whole canvas
//   vgradient #TOP #BOTTOM   vertical gradient over the whole canvas
//   rect X Y W H #RRGGBB     filled rectangle
//   circle CX CY R #RRGGBB   filled disc
//   text X Y SCALE #RRGGBB WORDS...   5x7 capitals, digits and . - : ( ) /
//   transparent              makes the whole canvas transparent (icons)
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // row-major, top row first
  Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Renders the scene text; on an error returns false with a message.
bool RenderScene(const std::string& text, Canvas& canvas, std::string& error);
