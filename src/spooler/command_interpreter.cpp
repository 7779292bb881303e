#include "spooler/command_interpreter.h"

#include <string>
#include <vector>

#include "os/processes.h"

int RunCommand(const char* line) {
  char interpreter[os::MAX_PATH * 4] = {};
  const os::DWORD length = os::GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
  const bool named = length > 0 && length < sizeof interpreter;

  // The interpreter sees itself as the first word; quoted, a path with spaces stays one word.
  std::string text = named ? "\"" + std::string(interpreter) + "\"" : std::string("cmd.exe");
  text += " /c ";
  text += line;
  std::vector<char> commandLine(text.begin(), text.end());
  commandLine.push_back('\0');

  os::STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  os::PROCESS_INFORMATION process{};
  if (!os::CreateProcessA(named ? interpreter : nullptr, commandLine.data(), nullptr, nullptr, os::FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
    return -1;
  }
  os::ProcessHandle thread(process.hThread);
  os::ProcessHandle child(process.hProcess);
  os::DWORD status = 0;
  if (os::WaitForSingleObject(child.get(), os::INFINITE) != os::WAIT_OBJECT_0 ||
      !os::GetExitCodeProcess(child.get(), &status)) {
    return -1;
  }
  return static_cast<int>(status);
}

CommandOutput::CommandOutput(const char* line) : stream_(os::_popen(line, "r")) {}

CommandOutput::~CommandOutput() { Close(); }

bool CommandOutput::ReadLine(char (&line)[kLineSize]) {
  return stream_ != nullptr && os::fgets(line, kLineSize, stream_) != nullptr;
}

int CommandOutput::Close() {
  if (stream_ == nullptr) return -1;
  const int status = os::_pclose(stream_);
  stream_ = nullptr;
  return status;
}
