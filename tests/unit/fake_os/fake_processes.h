// The fake process table: every program start is recorded (application name,
// command line, the program file that ran, the child's current folder), runs
// to its end at once, and exits with the code (and writes the standard output)
// scripted for its command line. Programs are found as Windows finds them: a
// bare name in the current folder before the system folder. A child given an
// inheritable pipe's write end as its standard output (STARTF_USESTDHANDLES,
// handles inherited) writes its output into that pipe. A child started with
// handles inherited gets every inheritable handle (pipe ends, files), or only
// those of its STARTUPINFOEXA handle list. A process scripted to hang never
// ends: a bounded wait for it times out after its bound (the fake tick
// advances by it), an unbounded one is noted as waiting for ever.
// Process, thread and pipe handles are waited on and closed through the device
// fake's WaitForSingleObject and CloseHandle; every process has already ended.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

struct Launch {
  std::string application;       // lpApplicationName as passed ("" for none)
  std::string commandLine;       // as passed
  std::string program;           // the program file that was (or would have been) run
  std::string currentDirectory;  // the child's current folder
  int showWindow = -1;           // STARTUPINFOA's wShowWindow
  bool piped = false;            // its standard output went to a pipe
  bool started = false;          // false: the start failed
  int inheritedHandles = 0;      // inheritable handles the child got
  bool handleList = false;       // started with a STARTUPINFOEXA handle list
};

struct Response {
  std::string pattern;          // part of the command line, case ignored
  std::uint32_t exitCode = 0;
  std::string output;           // standard output as written ("\r\n" line ends)
  std::function<void()> effect; // what running the command changes
  bool hangs = false;           // never ends, and holds its output pipe open
};

struct Processes {
  std::string systemDirectory = "C:\\Windows\\system32";
  std::string windowsDirectory = "C:\\Windows";  // GetSystemWindowsDirectoryA

  // Arrange. The latest response whose pattern occurs in a command line
  // answers it; a command line nothing matches exits 0 without output.
  Response& Respond(const std::string& pattern, std::uint32_t exitCode, const std::string& output = "");
  // Program files whose path contains `pattern` (case ignored) cannot be started.
  void CannotStart(const std::string& pattern);

  // Inspect.
  std::vector<Launch> launches;  // every start tried, in order
  int OpenHandles() const;       // process and thread handles not yet closed
  int OpenPipes() const;         // pipe ends not yet closed
  bool readHung = false;         // a pipe was read empty while a write end was open (would block)
  bool waitedForever = false;    // an unbounded wait for a hung process (would block)
  std::vector<std::uint32_t> waits;  // the bound of every wait for a process, in order
  int LiveAttributeLists() const;    // InitializeProcThreadAttributeList without its Delete
  std::size_t pipeChunk = 4096;  // most bytes one ReadFile of a pipe hands over

  std::vector<Response> responses;
  std::vector<std::string> missing;
};

Processes& processes();

}  // namespace fake
