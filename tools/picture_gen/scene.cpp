#include "scene.h"

#include <sstream>

#include "font5x7.h"

namespace {

bool ParseColour(const std::string& s, Rgba& out) {
  if (s.size() != 7 || s[0] != '#') return false;
  unsigned v = 0;
  std::istringstream in(s.substr(1));
  in >> std::hex >> v;
  if (in.fail()) return false;
  out = Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
             static_cast<std::uint8_t>(v), 255};
  return true;
}

void Plot(Canvas& c, int x, int y, Rgba colour) {
  if (x >= 0 && y >= 0 && x < c.width && y < c.height) c.at(x, y) = colour;
}

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int num, int den) {
  return static_cast<std::uint8_t>(a + (static_cast<int>(b) - a) * num / (den > 0 ? den : 1));
}

}  // namespace

bool RenderScene(const std::string& text, Canvas& canvas, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream in(line);
    std::string cmd;
    if (!(in >> cmd) || cmd[0] == '#') continue;
    auto bad = [&](const char* why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (cmd != "canvas" && canvas.width == 0) return bad("canvas must come first");
    if (cmd == "canvas") {
      if (!(in >> canvas.width >> canvas.height) || canvas.width <= 0 || canvas.height <= 0 ||
          canvas.width > 4096 || canvas.height > 4096) {
        return bad("canvas W H");
      }
      canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, Rgba{255, 255, 255, 255});
    } else if (cmd == "fill" || cmd == "vgradient") {
      std::string a, b;
      Rgba top, bottom;
      in >> a;
      if (!ParseColour(a, top)) return bad("colour");
      bottom = top;
      if (cmd == "vgradient" && (!(in >> b) || !ParseColour(b, bottom))) return bad("colour");
      for (int y = 0; y < canvas.height; ++y) {
        Rgba row{Mix(top.r, bottom.r, y, canvas.height - 1), Mix(top.g, bottom.g, y, canvas.height - 1),
                 Mix(top.b, bottom.b, y, canvas.height - 1), 255};
        for (int x = 0; x < canvas.width; ++x) canvas.at(x, y) = row;
      }
    } else if (cmd == "transparent") {
      for (auto& p : canvas.pixels) p.a = 0;
    } else if (cmd == "rect") {
      int x, y, w, h;
      std::string col;
      Rgba colour;
      if (!(in >> x >> y >> w >> h >> col) || !ParseColour(col, colour)) return bad("rect X Y W H #RRGGBB");
      for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) Plot(canvas, i, j, colour);
      }
    } else if (cmd == "circle") {
      int cx, cy, r;
      std::string col;
      Rgba colour;
      if (!(in >> cx >> cy >> r >> col) || !ParseColour(col, colour)) return bad("circle CX CY R #RRGGBB");
      for (int j = cy - r; j <= cy + r; ++j) {
        for (int i = cx - r; i <= cx + r; ++i) {
          if ((i - cx) * (i - cx) + (j - cy) * (j - cy) <= r * r) Plot(canvas, i, j, colour);
        }
      }
    } else if (cmd == "text") {
      int x, y, scale;
      std::string col, word, words;
      Rgba colour;
      if (!(in >> x >> y >> scale >> col) || !ParseColour(col, colour) || scale <= 0) {
        return bad("text X Y SCALE #RRGGBB WORDS");
      }
      while (in >> word) words += (words.empty() ? "" : " ") + word;
      int penX = x;
      for (char ch : words) {
        const std::uint8_t* rows = Glyph5x7(ch);
        if (rows == nullptr) return bad("character not in the font");
        for (int gy = 0; gy < 7; ++gy) {
          for (int gx = 0; gx < 5; ++gx) {
            if ((rows[gy] >> (4 - gx) & 1) == 0) continue;
            for (int sy = 0; sy < scale; ++sy) {
              for (int sx = 0; sx < scale; ++sx) {
                Plot(canvas, penX + gx * scale + sx, y + gy * scale + sy, colour);
              }
            }
          }
        }
        penX += 6 * scale;
      }
    } else {
      return bad("unknown command");
    }
  }
  if (canvas.width == 0) {
    error = "no canvas";
    return false;
  }
  return true;
}
