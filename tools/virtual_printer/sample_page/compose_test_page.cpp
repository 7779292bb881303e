// compose_test_page SAMPLE.bmp HEADING OUT: writes the program's test page,
// composed by its own code with the given picture and heading, as raw bytes,
// so that the virtual printer can show it.
#include <cstdio>
#include <optional>

#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"
#include "testprint/test_page.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: compose_test_page SAMPLE.bmp HEADING OUT\n");
    return 2;
  }
  const std::optional<BitmapRecord> picture = BitmapRecord::Load(argv[1]);
  if (!picture) {
    std::fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  std::optional<PrintJobBuffer> page = PrintJobBuffer::Create();
  if (!page) return 1;
  ComposeTestPage(&*page, argv[2], &*picture);
  std::FILE* out = std::fopen(argv[3], "wb");
  const auto length = static_cast<std::size_t>(page->length());
  const bool written = out != nullptr && std::fwrite(page->data(), 1, length, out) == length;
  if (out != nullptr) std::fclose(out);
  std::printf("%d bytes\n", page->length());
  return written ? 0 : 1;
}
