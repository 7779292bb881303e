// The rendering plug-in's packing of page rows into the receipt printer's
// commands: runs of printed rows become "GS v 0" raster blocks, blank rows
// become paper feed ("ESC J", at most 255 dots each), the feed after a page's
// last printed row is dropped, and the job's settings add the cut ("GS V m n")
// and the cash drawer's kick ("ESC p m t1 t2"). A job whose output is refused
// part-way (a cancelled job) has its open command completed and the printer
// reset, so that the next job starts on a whole command.
// Plain C++ without the C++ runtime's allocations, so that the plug-in DLL
// and the native unit tests share it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace raster {

// Where the printer commands go.
class CommandOutput {
 public:
  // Writes the bytes; `taken` is how many the printer took. False (or fewer
  // taken) when the job can take no more, as when it was cancelled.
  virtual bool Write(const std::uint8_t* bytes, std::size_t size, std::size_t* taken) = 0;
  // After a refused write: the bytes that complete the command left open.
  virtual bool WriteAbort(const std::uint8_t* bytes, std::size_t size) = 0;

 protected:
  ~CommandOutput() = default;
};

// A band of a page: 1 bit per pixel, most significant bit leftmost, rows top
// down and `stride` bytes apart. A set bit is white unless `setBitIsBlack`.
// `left` is the band's first column on the paper.
struct Band {
  const std::uint8_t* bits;
  std::size_t stride;
  std::uint32_t widthDots;
  std::uint32_t rows;
  bool setBitIsBlack;
  std::uint32_t left = 0;
};

enum class Cut : std::uint8_t { kNone, kPartial, kFull };
enum class Drawer : std::uint8_t { kNone, kBeforeJob, kAfterJob };

// The job's printing preferences; the defaults are one partial cut at the end
// and no drawer kick.
struct JobSettings {
  Cut cut = Cut::kPartial;
  bool cutEachPage = false;
  std::uint8_t cutFeed = 0;     // dots fed before the cut (GS V m n)
  Drawer drawer = Drawer::kNone;
  std::uint8_t drawerPin = 0;   // ESC p m: 0 drawer 1 (pin 2), 1 drawer 2 (pin 5)
  std::uint32_t longestGap = 0; // longest blank run inside a page in dots; 0 keeps every gap
};

inline constexpr std::uint32_t kMaxBlockRows = 256;  // rows per raster block
inline constexpr std::size_t kBufferBytes = 4096;    // a whole number of commands per write

class RasterWriter {
 public:
  // `paperDots`: the printable width (a multiple of 8); wider rows are cut there.
  RasterWriter(CommandOutput& out, std::uint32_t paperDots, const JobSettings& settings = JobSettings{});

  void Configure(const JobSettings& settings) { settings_ = settings; }
  // Carries an open job over to a new device context (the old one's output is not used again).
  void TakeJobFrom(const RasterWriter& other);

  bool StartJob();                        // ESC @, and the kick before the job
  void StartPage();                       // ends the page before it (with its cut when cutting each page)
  bool AddBand(const Band& band);         // the next rows of the page
  void AddBlankRows(std::uint32_t rows);  // rows with nothing printed
  bool EndJob();                          // the last page's end, the cut and the kick after the job

  bool Failed() const { return failed_; }

 private:
  bool PrinterDot(const Band& band, std::uint32_t row, std::uint32_t x) const;
  std::uint8_t PrinterByte(const Band& band, std::uint32_t row, std::uint32_t column) const;
  bool RowIsBlank(const Band& band, std::uint32_t row) const;
  bool WriteFeed();
  bool WriteCut();
  bool WriteKick();
  // Puts one whole command into the buffer: `head` as given, then room for
  // `dataSize` bytes, which the caller fills; nullptr once the job failed.
  std::uint8_t* Command(const std::uint8_t* head, std::size_t headSize, std::size_t dataSize = 0);
  bool Flush();
  void Abort(std::size_t taken);

  CommandOutput& out_;
  std::uint32_t paperBytes_;
  JobSettings settings_;
  std::uint32_t pendingFeed_ = 0;
  bool pageOpen_ = false;
  bool failed_ = false;
  std::uint8_t buffer_[kBufferBytes];
  std::size_t used_ = 0;
  // Each command in the buffer: where it starts and how much of it is its header.
  struct Mark {
    std::uint16_t start;
    std::uint16_t head;
  };
  Mark marks_[kBufferBytes / 2];
  std::size_t commands_ = 0;
};

}  // namespace raster
