#include "fake_processes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "fake_devices.h"
#include "fake_files.h"
#include "fake_os.h"
#include "os/processes.h"

namespace fake {
namespace {

constexpr os::DWORD kEnvVarNotFound = 203;  // ERROR_ENVVAR_NOT_FOUND

struct Pipe {
  std::string output;
  std::size_t position = 0;
  std::uint32_t exitCode = 0;
};

struct Table {
  std::map<std::uintptr_t, std::uint32_t> handles;  // handle -> exit code of its process
  std::uintptr_t nextHandle = 0x7A0000;
  os::DWORD nextId = 0x1F0;
  std::map<std::uintptr_t, std::unique_ptr<Pipe>> pipes;
};

bool CloseProcessHandle(void* handle);
bool WaitForProcess(void* handle, std::uint32_t milliseconds, std::uint32_t* result);

Table& table() {
  static Table* t = [] {
    auto* created = new Table();
    OnReset([created] { *created = Table(); });
    AddHandleOwner({WaitForProcess, CloseProcessHandle});
    return created;
  }();
  return *t;
}

bool CloseProcessHandle(void* handle) {
  return table().handles.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
}

// Every fake process has ended by the time anyone waits for it.
bool WaitForProcess(void* handle, std::uint32_t, std::uint32_t* result) {
  if (table().handles.count(reinterpret_cast<std::uintptr_t>(handle)) == 0) return false;
  *result = os::WAIT_OBJECT_0;
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool Contains(const std::string& text, const std::string& part) {
  return Lower(text).find(Lower(part)) != std::string::npos;
}

std::string Join(const std::string& folder, const std::string& name) {
  return (!folder.empty() && folder.back() == '\\') ? folder + name : folder + "\\" + name;
}

// The program file for a command line's first word, searched for as Windows
// does when no application name is given: the current folder, then the system folder.
std::string Search(const std::string& commandLine) {
  std::string word;
  if (!commandLine.empty() && commandLine[0] == '"') {
    word = commandLine.substr(1, commandLine.find('"', 1) - 1);
  } else {
    word = commandLine.substr(0, commandLine.find_first_of(" \t"));
  }
  const std::string base = word.substr(word.find_last_of("\\/") + 1);
  if (base.find('.') == std::string::npos) word += ".exe";
  if (word.find_first_of("\\/:") != std::string::npos) return word;
  const std::string local = Join(files().CurrentDirectory(), word);
  if (files().Exists(local) && !files().IsFolder(local)) return local;
  return Join(processes().systemDirectory, word);
}

bool Missing(const std::string& program) {
  for (const std::string& m : processes().missing) {
    if (Contains(program, m)) return true;
  }
  return false;
}

// Runs a started command: its scripted effect, output and exit code.
Response Run(const std::string& commandLine) {
  const auto& rs = processes().responses;
  for (auto it = rs.rbegin(); it != rs.rend(); ++it) {
    if (Contains(commandLine, it->pattern)) {
      if (it->effect) it->effect();
      return *it;
    }
  }
  return Response{};
}

os::HANDLE NewHandle(std::uint32_t exitCode) {
  Table& t = table();
  t.nextHandle += 4;
  t.handles[t.nextHandle] = exitCode;
  return reinterpret_cast<os::HANDLE>(t.nextHandle);
}

std::string Interpreter() {
  char value[1024] = {};
  const os::DWORD n = os::GetEnvironmentVariableA("COMSPEC", value, sizeof value);
  return (n > 0 && n < sizeof value) ? std::string(value) : Join(processes().systemDirectory, "cmd.exe");
}

}  // namespace

Processes& processes() {
  static Processes* p = [] {
    auto* created = new Processes();
    OnReset([created] { *created = Processes(); });
    return created;
  }();
  return *p;
}

Response& Processes::Respond(const std::string& pattern, std::uint32_t exitCode, const std::string& output) {
  Response r;
  r.pattern = pattern;
  r.exitCode = exitCode;
  r.output = output;
  responses.push_back(r);
  return responses.back();
}

void Processes::CannotStart(const std::string& pattern) { missing.push_back(pattern); }

int Processes::OpenHandles() const { return static_cast<int>(table().handles.size()); }
int Processes::OpenPipes() const { return static_cast<int>(table().pipes.size()); }

}  // namespace fake

namespace os {

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void*, void*, BOOL, DWORD, void*,
                    LPCSTR currentDirectory, STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInformation) {
  const bool failed = fake::Called("CreateProcessA");
  fake::Launch launch;
  launch.application = applicationName != nullptr ? applicationName : "";
  launch.commandLine = commandLine != nullptr ? commandLine : "";
  launch.program = applicationName != nullptr ? launch.application : fake::Search(launch.commandLine);
  launch.currentDirectory = currentDirectory != nullptr ? currentDirectory : fake::files().CurrentDirectory();
  auto& launches = fake::processes().launches;
  launches.push_back(launch);

  if (startupInfo != nullptr) launches.back().showWindow = startupInfo->wShowWindow;
  if (startupInfo == nullptr || startupInfo->cb != sizeof(STARTUPINFOA) || processInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (fake::Missing(launch.program)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  if (!fake::files().IsFolder(launch.currentDirectory)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  launches.back().started = true;
  const fake::Response answer = fake::Run(launch.commandLine);
  processInformation->hProcess = fake::NewHandle(answer.exitCode);
  processInformation->hThread = fake::NewHandle(answer.exitCode);
  processInformation->dwProcessId = fake::table().nextId++;
  processInformation->dwThreadId = fake::table().nextId++;
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
  const bool failed = fake::Called("GetExitCodeProcess");
  auto& handles = fake::table().handles;
  auto it = handles.find(reinterpret_cast<std::uintptr_t>(process));
  if (it == handles.end() || failed) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return FALSE;
  }
  *exitCode = it->second;
  return TRUE;
}

// Reads the fake file system's environment, where ExpandEnvironmentStringsA
// leaves an unset variable's reference as it is.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  fake::Called("GetEnvironmentVariableA");
  const std::string reference = std::string("%") + name + "%";
  char value[4096] = {};
  const DWORD n = ExpandEnvironmentStringsA(reference.c_str(), value, sizeof value);
  if (n == 0 || n > sizeof value || reference == value) {
    SetLastError(fake::kEnvVarNotFound);
    return 0;
  }
  const DWORD length = n - 1;
  if (buffer == nullptr || size < length + 1) return length + 1;
  std::memcpy(buffer, value, length + 1);
  return length;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  if (fake::Called("GetSystemDirectoryA")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  const std::string& folder = fake::processes().systemDirectory;
  if (buffer == nullptr || size < folder.size() + 1) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}

FILE* _popen(const char* command, const char* mode) {
  const bool failed = fake::Called("_popen");
  fake::Launch launch;
  launch.commandLine = command;
  launch.program = fake::Interpreter();
  launch.currentDirectory = fake::files().CurrentDirectory();
  launch.piped = true;
  fake::processes().launches.push_back(launch);
  if (failed || fake::Missing(launch.program) || mode == nullptr || mode[0] != 'r') return nullptr;
  fake::processes().launches.back().started = true;

  const fake::Response answer = fake::Run(command);
  auto pipe = std::make_unique<fake::Pipe>();
  pipe->exitCode = answer.exitCode;
  pipe->output = answer.output;
  if (std::strchr(mode, 'b') == nullptr) {
    // Text mode: a carriage return before a newline is dropped.
    std::string text;
    for (std::size_t i = 0; i < answer.output.size(); ++i) {
      if (answer.output[i] == '\r' && i + 1 < answer.output.size() && answer.output[i + 1] == '\n') continue;
      text += answer.output[i];
    }
    pipe->output = text;
  }
  // The stream is a token for the table; nothing reads through it.
  const auto key = reinterpret_cast<std::uintptr_t>(pipe.get());
  fake::table().pipes[key] = std::move(pipe);
  return reinterpret_cast<FILE*>(key);
}

char* fgets(char* buffer, int size, FILE* stream) {
  fake::Called("fgets");
  auto& pipes = fake::table().pipes;
  auto it = pipes.find(reinterpret_cast<std::uintptr_t>(stream));
  if (it == pipes.end() || size <= 0) return nullptr;
  fake::Pipe& p = *it->second;
  if (p.position >= p.output.size()) return nullptr;
  int n = 0;
  while (n < size - 1 && p.position < p.output.size()) {
    const char c = p.output[p.position++];
    buffer[n++] = c;
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  return buffer;
}

int _pclose(FILE* stream) {
  fake::Called("_pclose");
  auto& pipes = fake::table().pipes;
  auto it = pipes.find(reinterpret_cast<std::uintptr_t>(stream));
  if (it == pipes.end()) return -1;
  const int status = static_cast<int>(it->second->exitCode);
  pipes.erase(it);
  return status;
}

}  // namespace os
