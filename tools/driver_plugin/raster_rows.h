// The rendering plug-in's packing of page rows into the receipt printer's
// commands: runs of printed rows become "GS v 0" raster blocks, blank rows
// become paper feed ("ESC J", at most 255 dots each), the feed after a page's
// last printed row is dropped, and the job ends with a cut ("GS V B 0").
// Plain C++ without the C++ runtime's allocations, so that the plug-in DLL
// and the native unit tests share it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace raster {

// Where the printer commands go; false when they could not be written.
class CommandOutput {
 public:
  virtual bool Write(const std::uint8_t* bytes, std::size_t size) = 0;

 protected:
  ~CommandOutput() = default;
};

// A band of a page: 1 bit per pixel, most significant bit leftmost, rows top
// down and `stride` bytes apart. A set bit is white unless `setBitIsBlack`.
struct Band {
  const std::uint8_t* bits;
  std::size_t stride;
  std::uint32_t widthDots;
  std::uint32_t rows;
  bool setBitIsBlack;
};

inline constexpr std::uint32_t kMaxBlockRows = 256;  // rows per raster block

class RasterWriter {
 public:
  // `paperDots`: the printable width (a multiple of 8); wider rows are cut there.
  RasterWriter(CommandOutput& out, std::uint32_t paperDots);

  bool StartJob();                      // ESC @
  bool AddBand(const Band& band);       // the next rows of the page
  void AddBlankRows(std::uint32_t rows);  // rows with nothing printed
  void EndPage();                       // the page ends at its last printed row
  bool EndJob();                        // cut

  bool Failed() const { return failed_; }

 private:
  bool RowIsBlank(const Band& band, std::uint32_t row) const;
  std::uint8_t PrinterByte(const Band& band, std::uint32_t row, std::uint32_t column) const;
  bool WriteFeed();
  bool Put(const std::uint8_t* bytes, std::size_t size);
  bool Flush();

  CommandOutput& out_;
  std::uint32_t paperBytes_;
  std::uint32_t pendingFeed_ = 0;
  bool failed_ = false;
  std::uint8_t buffer_[4096];
  std::size_t used_ = 0;
};

}  // namespace raster
