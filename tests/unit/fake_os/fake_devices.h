// The fake device files: devices by path (matched without regard to case, as
// the object manager does) that record the bytes written to them. A device
// not added is absent. Each device completes its writes in one of the ways
// below; an overlapped write stays pending until someone waits for it, so
// closing the handle without waiting loses the page.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

enum class WriteOutcome {
  Pending,         // WriteFile: FALSE with ERROR_IO_PENDING; completes when waited for
  AtOnce,          // WriteFile: TRUE, already complete (and the handle signalled)
  FailsAtOnce,     // WriteFile: FALSE with ERROR_GEN_FAILURE; nothing started
  NeverCompletes,  // WriteFile: FALSE with ERROR_IO_PENDING; only cancellation ends it
  IgnoresCancel,   // as NeverCompletes, and cancellation does not end it either
  FallsShort,      // as Pending, but only the first half of the bytes is taken
};

struct Device {
  std::string path;
  WriteOutcome outcome = WriteOutcome::Pending;
  std::string received;  // bytes of every completed write, in order

  // What the last CreateFileA and WriteFile of it were called with.
  std::uint32_t access = 0, shareMode = 0, disposition = 0, flags = 0;
  bool byteCountRequested = false;  // WriteFile given a pointer for the byte count
  bool overlappedZeroed = false;    // offsets, event and status fields all zero
  int writes = 0;
  int cancelled = 0;       // writes ended by CancelIo
  int lostOnClose = 0;     // writes still pending when the handle was closed
  std::vector<std::uint32_t> waits;  // time-outs of the waits on its handle, in order
  bool hung = false;       // an unbounded wait on a write that never completes
  // Answers to the real-time status request DLE EOT n in a completed write,
  // by n; they wait in `toRead` for an overlapped read, which stays pending
  // (until cancelled) while there is nothing to read.
  std::map<int, unsigned char> statusAnswers;
  std::string toRead;
  int reads = 0;
  int writesToEnd = 0;  // overlapped writes whose offsets ask for the end of a file (both 0xFFFFFFFF)
  int readsCancelled = 0;
};

struct Devices {
  Device& Add(const std::string& path, WriteOutcome outcome = WriteOutcome::Pending);
  Device* Find(const std::string& path);
  // A handle to device `path` (added when absent) that the program did not
  // open itself, such as a standard handle given by the parent.
  void* Open(const std::string& path);
  // The device behind an open handle, or null.
  Device* Of(void* handle);
  std::vector<std::string> opened;  // every path given to CreateFileA, present or not
  int OpenHandles() const;
  // Completes the writes that ignored cancellation and outlived their handle,
  // as the system would later: it reads their pages and writes their records.
  void FinishAbandonedWrites();
};

Devices& devices();

// WaitForSingleObject and CloseHandle serve every kind of handle. A facility
// whose handles are not devices (child processes) answers for its own here;
// each returns false for a handle that is not its own. Kept across resets.
struct HandleOwner {
  std::function<bool(void* handle, std::uint32_t milliseconds, std::uint32_t* waitResult)> wait;
  std::function<bool(void* handle)> close;
};
void AddHandleOwner(HandleOwner owner);

// ReadFile on a device handle (the pipes' ReadFile asks first); false when
// `handle` is no device handle, else the call's result in `*result`.
bool ReadDeviceFile(void* handle, void* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesRead,
                    void* overlapped, int* result);

}  // namespace fake
