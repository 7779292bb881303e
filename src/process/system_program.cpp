#include "process/system_program.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "os/devices.h"
#include "os/processes.h"
#include "os/services.h"

namespace {

constexpr os::UINT kFolderSize = 1024;
constexpr os::DWORD kReadSize = 4096;
constexpr os::DWORD kPollMs = 50;  // how often a bounded read looks at the pipe

// The attribute list that lets a child inherit `handle` and no other handle
// of ours marked inheritable; nothing for a null handle, and null from get()
// when the list could not be made.
class InheritOnly {
 public:
  explicit InheritOnly(os::HANDLE handle) : handles_{handle} {
    if (handle == nullptr) return;
    std::size_t size = 0;
    os::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    if (size == 0) return;
    block_.resize(size / sizeof(std::uint64_t) + 1);
    auto* list = reinterpret_cast<os::PROC_THREAD_ATTRIBUTE_LIST*>(block_.data());
    if (!os::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    made_ = list;
    // The list keeps a pointer to the array, which lives as long as this.
    if (os::UpdateProcThreadAttribute(list, 0, os::PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_, sizeof handles_,
                                      nullptr, nullptr)) {
      list_ = list;
    }
  }
  ~InheritOnly() {
    if (made_ != nullptr) os::DeleteProcThreadAttributeList(made_);
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  os::PROC_THREAD_ATTRIBUTE_LIST* get() const { return list_; }

 private:
  os::HANDLE handles_[1];
  std::vector<std::uint64_t> block_;  // 8-byte aligned room for the list
  os::PROC_THREAD_ATTRIBUTE_LIST* made_ = nullptr;
  os::PROC_THREAD_ATTRIBUTE_LIST* list_ = nullptr;
};

// Starts the program from the system folder with `commandLine`; with an
// `output` handle (inheritable), that handle becomes its standard output and
// is the only handle it inherits. The process handle, or an empty owner.
os::OwnedHandle Start(const char* program, const std::string& commandLine, os::HANDLE output) {
  std::string application;
  if (!SystemProgramPath(program, application)) return os::OwnedHandle();
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  os::STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup.StartupInfo;
  InheritOnly only(output);
  os::DWORD flags = 0;
  if (output != nullptr) {
    // Without the list the child would get every inheritable handle we hold.
    if (only.get() == nullptr) return os::OwnedHandle();
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = os::STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = output;
    startup.lpAttributeList = only.get();
    flags = os::EXTENDED_STARTUPINFO_PRESENT;
  }
  os::PROCESS_INFORMATION process{};
  if (!os::CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, output != nullptr ? os::TRUE : os::FALSE,
                          flags, nullptr, nullptr, &startup.StartupInfo, &process)) {
    return os::OwnedHandle();
  }
  const os::OwnedHandle thread(process.hThread);
  return os::OwnedHandle(process.hProcess);
}

// Waits for the process at most `waitMs`, closes its handle and returns its
// exit status, or -1. A program still running then is left to finish.
int WaitForExit(os::OwnedHandle child, os::DWORD waitMs) {
  os::DWORD status = 0;
  if (os::WaitForSingleObject(child.get(), waitMs) != os::WAIT_OBJECT_0 ||
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
  // The folder comes without a backslash unless it is a drive's root: its last
  // byte may be the trail byte 0x5C of a double-byte character, no separator.
  const bool root = path.size() >= 2 && path[path.size() - 2] == ':' && path.back() == '\\';
  if (!root) path += '\\';
  path += program;
  if (std::strchr(program, '.') == nullptr) path += ".exe";
  return path.size() < kFolderSize;
}

int RunSystemProgram(const char* program, const std::string& commandLine, os::DWORD waitMs) {
  os::OwnedHandle process = Start(program, commandLine, nullptr);
  return process.valid() ? WaitForExit(std::move(process), waitMs) : -1;
}

ProgramOutput::ProgramOutput(const char* program, const std::string& commandLine, os::DWORD waitMs)
    : waitMs_(waitMs), started_(os::GetTickCount()) {
  // The child holds its own copy of the write end: once it ends, reading
  // finds the pipe's end, so ours goes when the constructor does.
  os::OwnedHandle write;
  if (!os::CreatePipe(pipe_.receive(), write.receive(), nullptr, 0)) {
    pipe_.reset();
    return;
  }
  // Only the write end goes to the child; the read end stays ours alone.
  if (os::SetHandleInformation(write.get(), os::HANDLE_FLAG_INHERIT, os::HANDLE_FLAG_INHERIT)) {
    process_ = Start(program, commandLine, write.get());
  }
  if (!process_.valid()) pipe_.reset();
}

ProgramOutput::~ProgramOutput() { Close(); }

os::DWORD ProgramOutput::Remaining() const {
  if (waitMs_ == os::INFINITE) return os::INFINITE;
  const os::DWORD elapsed = os::GetTickCount() - started_;
  return elapsed >= waitMs_ ? 0 : waitMs_ - elapsed;
}

bool ProgramOutput::BytesArrive() {
  for (;;) {
    os::DWORD available = 0;
    // A pipe that cannot be peeked at is at its end: the read says so at once.
    if (!os::PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
    if (os::WaitForSingleObject(process_.get(), 0) == os::WAIT_OBJECT_0) return true;
    if (Remaining() == 0) return false;
    os::Sleep(kPollMs);
  }
}

bool ProgramOutput::Fill() {
  // A bounded read never blocks: a program that stops writing without ending
  // would keep ReadFile waiting for ever.
  if (waitMs_ != os::INFINITE && !BytesArrive()) {
    timedOut_ = true;
    return false;
  }
  char bytes[kReadSize];
  os::DWORD read = 0;
  if (!os::ReadFile(pipe_.get(), bytes, sizeof bytes, &read, nullptr) || read == 0) {
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
  if (!pipe_.valid()) return false;
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
  pipe_.reset();
  if (!process_.valid()) return -1;
  os::OwnedHandle process = std::move(process_);
  if (timedOut_) return -1;  // left to finish; its handle goes with `process`
  return WaitForExit(std::move(process), Remaining());
}
