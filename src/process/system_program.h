// Programs of the system folder started by their full path, never through the
// command interpreter or a search: what the caller passes as the command line
// reaches the program as it is, and no file planted elsewhere is run.
#pragma once
#include <string>

#include "os/devices.h"
#include "os/os_types.h"
#include "process/child_runs.h"

// "<system folder>\<program>", with ".exe" added when the name has no
// extension; false when the system folder cannot be read or the path does not fit.
[[nodiscard]] bool SystemProgramPath(const char* program, std::string& path);

// Starts the system program `program` with `commandLine` (the whole line, its
// first word included), waits for it at most `waitMs` and returns its exit
// status; -1 when it could not be started, did not end in time (it is left to
// finish, not ended) or the status could not be read.
[[nodiscard]] int RunSystemProgram(const char* program, const std::string& commandLine, os::DWORD waitMs = kNoTimeLimit);

// The standard output of a system program, read through a pipe line by line
// as a text-mode stream gives it (a carriage return before a newline is
// dropped) while the program runs. The pipe's write end is the only handle the
// program inherits. With a bound, reading and the wait for its end together
// take at most `waitMs`. Closed by Close or, at the latest, by the destructor.
class ProgramOutput {
 public:
  static constexpr int kLineSize = 1024;

  ProgramOutput(const char* program, const std::string& commandLine, os::DWORD waitMs = kNoTimeLimit);
  ~ProgramOutput();
  ProgramOutput(const ProgramOutput&) = delete;
  ProgramOutput& operator=(const ProgramOutput&) = delete;

  // False when the program could not be started.
  bool opened() const { return process_.valid(); }
  // The next line, newline kept, at most kLineSize - 1 bytes (a longer line
  // arrives in pieces); false at the end of the output.
  [[nodiscard]] bool ReadLine(char (&line)[kLineSize]);
  // Closes the pipe and waits for the program to end (within what is left of
  // the bound); its exit status, or -1 (also when the bound passed).
  int Close();

 private:
  // Reads more of the pipe into pending_; false at its end or when the bound passed.
  [[nodiscard]] bool Fill();
  // Waits until the pipe holds bytes or is at its end (true), or the bound passes (false).
  [[nodiscard]] bool BytesArrive();
  // What is left of the bound (INFINITE for none).
  os::DWORD Remaining() const;

  os::OwnedHandle process_;
  os::OwnedHandle pipe_;
  std::string pending_;  // read and converted, not yet handed out
  bool carriageReturn_ = false;  // a '\r' held back until the next byte shows whether a '\n' follows
  bool ended_ = false;
  bool timedOut_ = false;
  os::DWORD waitMs_;
  os::DWORD started_;  // GetTickCount at the start
};
