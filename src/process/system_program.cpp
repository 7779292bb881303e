#include "process/system_program.h"

#include <cstring>
#include <vector>

#include "os/processes.h"

namespace {

constexpr os::UINT kFolderSize = 1024;
constexpr os::DWORD kReadSize = 4096;

// Starts the program from the system folder with `commandLine`; with an
// `output` handle, that handle (inheritable) becomes its standard output.
// The process handle, or null.
os::HANDLE Start(const char* program, const std::string& commandLine, os::HANDLE output) {
  std::string application;
  if (!SystemProgramPath(program, application)) return nullptr;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  os::STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (output != nullptr) {
    startup.dwFlags = os::STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
  }
  os::PROCESS_INFORMATION process{};
  if (!os::CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, output != nullptr ? os::TRUE : os::FALSE,
                          0, nullptr, nullptr, &startup, &process)) {
    return nullptr;
  }
  os::OwnedHandle thread(process.hThread);
  return process.hProcess;
}

// Waits for the process without a time limit, closes its handle and returns its exit status, or -1.
int WaitForExit(os::HANDLE process) {
  os::OwnedHandle child(process);
  os::DWORD status = 0;
  if (os::WaitForSingleObject(child.get(), os::INFINITE) != os::WAIT_OBJECT_0 ||
      !os::GetExitCodeProcess(child.get(), &status)) {
    return -1;
  }
  return static_cast<int>(status);
}

}  // namespace

bool SystemProgramPath(const char* program, std::string& path) {
  char folder[kFolderSize] = {};
  const os::UINT length = os::GetSystemDirectoryA(folder, kFolderSize);
  if (length == 0 || length >= kFolderSize) return false;
  path = folder;
  if (path.back() != '\\') path += '\\';
  path += program;
  if (std::strchr(program, '.') == nullptr) path += ".exe";
  return path.size() < kFolderSize;
}

int RunSystemProgram(const char* program, const std::string& commandLine) {
  const os::HANDLE process = Start(program, commandLine, nullptr);
  return process != nullptr ? WaitForExit(process) : -1;
}

ProgramOutput::ProgramOutput(const char* program, const std::string& commandLine) {
  os::HANDLE write = nullptr;
  if (!os::CreatePipe(&pipe_, &write, nullptr, 0)) {
    pipe_ = nullptr;
    return;
  }
  // Only the write end goes to the child; the read end stays ours alone.
  if (os::SetHandleInformation(write, os::HANDLE_FLAG_INHERIT, os::HANDLE_FLAG_INHERIT)) {
    process_ = Start(program, commandLine, write);
  }
  // The child holds its own copy: once it ends, reading finds the pipe's end.
  os::CloseHandle(write);
  if (process_ == nullptr) Close();
}

ProgramOutput::~ProgramOutput() { Close(); }

bool ProgramOutput::Fill() {
  char bytes[kReadSize];
  os::DWORD read = 0;
  if (!os::ReadFile(pipe_, bytes, sizeof bytes, &read, nullptr) || read == 0) {
    if (carriageReturn_) pending_ += '\r';
    carriageReturn_ = false;
    return false;
  }
  for (os::DWORD i = 0; i < read; ++i) {
    const char c = bytes[i];
    if (carriageReturn_ && c != '\n') pending_ += '\r';
    carriageReturn_ = c == '\r';
    if (!carriageReturn_) pending_ += c;
  }
  return true;
}

bool ProgramOutput::ReadLine(char (&line)[kLineSize]) {
  if (pipe_ == nullptr) return false;
  constexpr std::size_t kMost = kLineSize - 1;
  for (;;) {
    const std::size_t newline = pending_.find('\n');
    std::size_t take = 0;
    if (newline != std::string::npos && newline < kMost) {
      take = newline + 1;
    } else if (pending_.size() >= kMost || (ended_ && !pending_.empty())) {
      take = pending_.size() < kMost ? pending_.size() : kMost;
    } else if (ended_) {
      return false;
    }
    if (take > 0) {
      std::memcpy(line, pending_.data(), take);
      line[take] = '\0';
      pending_.erase(0, take);
      return true;
    }
    if (!Fill()) ended_ = true;
  }
}

int ProgramOutput::Close() {
  if (pipe_ != nullptr) os::CloseHandle(pipe_);
  pipe_ = nullptr;
  if (process_ == nullptr) return -1;
  const os::HANDLE process = process_;
  process_ = nullptr;
  return WaitForExit(process);
}
