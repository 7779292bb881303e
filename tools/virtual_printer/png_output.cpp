#include "png_output.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace vp {

bool WritePaperPng(const Paper& paper, const std::string& path, std::string* error) {
  const int width = paper.Width();
  const int height = paper.Height() > 0 ? paper.Height() : 1;
  std::vector<png_byte> grey(static_cast<std::size_t>(width) * height, 255);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Paper::Mark m = paper.At(x, y);
      if (m != Paper::kBlank) grey[static_cast<std::size_t>(y) * width + x] = m == Paper::kDot ? 0 : m == Paper::kKick ? 160 : 128;
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_GRAY;
  if (png_image_write_to_file(&image, path.c_str(), 0, grey.data(), width, nullptr) == 0) {
    if (error) *error = "cannot write " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace vp
