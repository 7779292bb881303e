// Command lines run through the command interpreter: the one named by the
// COMSPEC variable, else "cmd.exe" found on the path, given "/c" and the line.
#pragma once
#include "os/files.h"

// Runs `line`, waits for it to end and returns its exit status; -1 when
// nothing could be started (or the status could not be read).
int RunCommand(const char* line);

// The standard output of a command line, read line by line in text mode
// while the command runs. The pipe is closed by Close or, at the latest, by
// the destructor.
class CommandOutput {
 public:
  static constexpr int kLineSize = 1024;

  explicit CommandOutput(const char* line);
  ~CommandOutput();
  CommandOutput(const CommandOutput&) = delete;
  CommandOutput& operator=(const CommandOutput&) = delete;

  // False when the command could not be started.
  bool opened() const { return stream_ != nullptr; }
  // The next line, newline kept, at most kLineSize - 1 bytes (a longer line
  // arrives in pieces); false at the end of the output.
  bool ReadLine(char (&line)[kLineSize]);
  // Waits for the command to end; its exit status, or -1.
  int Close();

 private:
  os::FILE* stream_;
};
