#include "fake_processes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <memory>

#include "fake_devices.h"
#include "fake_files.h"
#include "fake_os.h"
#include "fake_services.h"
#include "os/processes.h"

namespace fake {
namespace {

struct Pipe {
  std::string buffered;  // written, not yet read
  bool readOpen = true;
  bool writeOpen = true;
  bool childWriting = false;  // a hung child holds its copy of the write end
};

// One end of a pipe.
struct PipeEnd {
  std::shared_ptr<Pipe> pipe;
  bool write = false;
  bool inheritable = false;
};

// What the fake keeps in a caller's attribute list block.
struct AttributeList {
  std::uint32_t magic = 0xA771157;
  os::HANDLE handles[8] = {};
  std::size_t count = 0;
};

struct Table {
  std::map<std::uintptr_t, std::uint32_t> handles;  // handle -> exit code of its process
  std::set<std::uintptr_t> hung;                      // process handles that never end
  int liveLists = 0;
  std::uintptr_t nextHandle = 0x7A0000;
  os::DWORD nextId = 0x1F0;
  std::map<std::uintptr_t, PipeEnd> pipeEnds;
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
  const auto key = reinterpret_cast<std::uintptr_t>(handle);
  auto end = table().pipeEnds.find(key);
  if (end != table().pipeEnds.end()) {
    (end->second.write ? end->second.pipe->writeOpen : end->second.pipe->readOpen) = false;
    table().pipeEnds.erase(end);
    return true;
  }
  table().hung.erase(key);
  return table().handles.erase(key) == 1;
}

// Every fake process but a hung one has ended by the time anyone waits for it.
bool WaitForProcess(void* handle, std::uint32_t milliseconds, std::uint32_t* result) {
  const auto key = reinterpret_cast<std::uintptr_t>(handle);
  if (table().handles.count(key) == 0) return false;
  processes().waits.push_back(milliseconds);
  *result = os::WAIT_OBJECT_0;
  if (table().hung.count(key) == 0) return true;
  if (milliseconds == os::INFINITE) {
    processes().waitedForever = true;  // the real call would never return
    *result = os::WAIT_FAILED;
  } else {
    services().tick += milliseconds;
    *result = os::WAIT_TIMEOUT;
  }
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

os::HANDLE NewPipeEnd(const std::shared_ptr<Pipe>& pipe, bool write) {
  Table& t = table();
  t.nextHandle += 4;
  t.pipeEnds[t.nextHandle] = PipeEnd{pipe, write, false};
  return reinterpret_cast<os::HANDLE>(t.nextHandle);
}

os::HANDLE NewHandle(std::uint32_t exitCode, bool hangs) {
  Table& t = table();
  t.nextHandle += 4;
  t.handles[t.nextHandle] = hangs ? os::STILL_ACTIVE : exitCode;
  if (hangs) t.hung.insert(t.nextHandle);
  return reinterpret_cast<os::HANDLE>(t.nextHandle);
}

bool InheritablePipeEnd(os::HANDLE handle) {
  auto it = table().pipeEnds.find(reinterpret_cast<std::uintptr_t>(handle));
  return it != table().pipeEnds.end() && it->second.inheritable;
}

// The handles a child inherits: none, the list's (each must be inheritable:
// null when one is not), or every inheritable handle of the process.
bool Inherited(bool inherit, const AttributeList* list, std::vector<os::HANDLE>& inherited) {
  inherited.clear();
  if (!inherit) return true;
  if (list != nullptr) {
    for (std::size_t i = 0; i < list->count; ++i) {
      if (!InheritablePipeEnd(list->handles[i]) && !IsInheritableDiskHandle(list->handles[i])) return false;
      inherited.push_back(list->handles[i]);
    }
    return true;
  }
  for (const auto& end : table().pipeEnds) {
    if (end.second.inheritable) inherited.push_back(reinterpret_cast<os::HANDLE>(end.first));
  }
  for (os::HANDLE file : InheritableDiskHandles()) inherited.push_back(file);
  return true;
}

// The pipe end a child gets as its standard output, if it gets one.
PipeEnd* InheritedOutput(const std::vector<os::HANDLE>& inherited, const os::STARTUPINFOA* startup) {
  if ((startup->dwFlags & os::STARTF_USESTDHANDLES) == 0) return nullptr;
  if (std::find(inherited.begin(), inherited.end(), startup->hStdOutput) == inherited.end()) return nullptr;
  auto it = table().pipeEnds.find(reinterpret_cast<std::uintptr_t>(startup->hStdOutput));
  if (it == table().pipeEnds.end() || !it->second.write) return nullptr;
  return &it->second;
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
int Processes::OpenPipes() const { return static_cast<int>(table().pipeEnds.size()); }
int Processes::LiveAttributeLists() const { return table().liveLists; }

}  // namespace fake

namespace os {

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void*, void*, BOOL inheritHandles, DWORD flags, void*,
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
  const bool extended = (flags & EXTENDED_STARTUPINFO_PRESENT) != 0;
  const DWORD size = extended ? sizeof(STARTUPINFOEXA) : sizeof(STARTUPINFOA);
  const auto* ex = reinterpret_cast<STARTUPINFOEXA*>(startupInfo);
  const auto* list = extended && ex != nullptr ? reinterpret_cast<const fake::AttributeList*>(ex->lpAttributeList) : nullptr;
  launches.back().handleList = list != nullptr && list->count > 0;
  std::vector<HANDLE> inherited;
  if (startupInfo == nullptr || startupInfo->cb != size || processInformation == nullptr ||
      !fake::Inherited(inheritHandles != FALSE, list != nullptr && list->count > 0 ? list : nullptr, inherited)) {
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
  launches.back().inheritedHandles = static_cast<int>(inherited.size());
  fake::PipeEnd* output = fake::InheritedOutput(inherited, startupInfo);
  launches.back().piped = output != nullptr;
  const fake::Response answer = fake::Run(launch.commandLine);
  // The child has written everything and ended (or hangs) before anyone reads.
  if (output != nullptr && output->pipe->readOpen) output->pipe->buffered += answer.output;
  if (output != nullptr && answer.hangs) output->pipe->childWriting = true;
  processInformation->hProcess = fake::NewHandle(answer.exitCode, answer.hangs);
  processInformation->hThread = fake::NewHandle(answer.exitCode, false);
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

// A system folder's path by the calls' protocol: its length, or the size
// needed when the buffer is too small; 0 when `call` is told to fail.
static UINT CopyFolder(const char* call, const std::string& folder, LPSTR buffer, UINT size) {
  if (fake::Called(call)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (buffer == nullptr || size < folder.size() + 1) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  return CopyFolder("GetSystemDirectoryA", fake::processes().systemDirectory, buffer, size);
}

UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size) {
  return CopyFolder("GetSystemWindowsDirectoryA", fake::processes().windowsDirectory, buffer, size);
}

BOOL CreatePipe(HANDLE* readPipe, HANDLE* writePipe, void*, DWORD) {
  if (fake::Called("CreatePipe")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  auto pipe = std::make_shared<fake::Pipe>();
  *readPipe = fake::NewPipeEnd(pipe, false);
  *writePipe = fake::NewPipeEnd(pipe, true);
  return TRUE;
}

BOOL SetHandleInformation(HANDLE object, DWORD mask, DWORD flags) {
  const bool failed = fake::Called("SetHandleInformation");
  auto it = fake::table().pipeEnds.find(reinterpret_cast<std::uintptr_t>(object));
  if (failed || it == fake::table().pipeEnds.end()) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return FALSE;
  }
  if (mask & HANDLE_FLAG_INHERIT) it->second.inheritable = (flags & HANDLE_FLAG_INHERIT) != 0;
  return TRUE;
}

BOOL PeekNamedPipe(HANDLE pipeHandle, void*, DWORD, DWORD* bytesRead, DWORD* available, DWORD* leftThisMessage) {
  const bool failed = fake::Called("PeekNamedPipe");
  auto it = fake::table().pipeEnds.find(reinterpret_cast<std::uintptr_t>(pipeHandle));
  if (failed || it == fake::table().pipeEnds.end() || it->second.write) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return FALSE;
  }
  const fake::Pipe& pipe = *it->second.pipe;
  if (pipe.buffered.empty() && !pipe.writeOpen && !pipe.childWriting) {
    SetLastError(ERROR_BROKEN_PIPE);
    return FALSE;
  }
  if (bytesRead != nullptr) *bytesRead = 0;
  if (available != nullptr) *available = static_cast<DWORD>(pipe.buffered.size());
  if (leftThisMessage != nullptr) *leftThisMessage = 0;
  return TRUE;
}

BOOL InitializeProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD count, DWORD, std::size_t* size) {
  const bool failed = fake::Called("InitializeProcThreadAttributeList");
  if (list == nullptr || *size < sizeof(fake::AttributeList) || count != 1) {
    *size = sizeof(fake::AttributeList);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  new (list) fake::AttributeList();
  ++fake::table().liveLists;
  return TRUE;
}

BOOL UpdateProcThreadAttribute(PROC_THREAD_ATTRIBUTE_LIST* list, DWORD, std::uintptr_t attribute, void* value,
                               std::size_t size, void*, std::size_t*) {
  const bool failed = fake::Called("UpdateProcThreadAttribute");
  auto* l = reinterpret_cast<fake::AttributeList*>(list);
  const std::size_t count = size / sizeof(HANDLE);
  if (failed || attribute != PROC_THREAD_ATTRIBUTE_HANDLE_LIST || count == 0 || count > 8 ||
      size % sizeof(HANDLE) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::copy_n(static_cast<HANDLE*>(value), count, l->handles);
  l->count = count;
  return TRUE;
}

void DeleteProcThreadAttributeList(PROC_THREAD_ATTRIBUTE_LIST*) { --fake::table().liveLists; }

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* overlapped) {
  if (fake::IsDiskHandle(file)) {
    if (fake::Called("ReadFile")) {
      SetLastError(5);  // ERROR_ACCESS_DENIED
      return FALSE;
    }
    std::uint32_t got = 0;
    const int ok = fake::ReadDiskFile(file, buffer, bytesToRead, &got);
    if (bytesRead != nullptr) *bytesRead = got;
    return ok;
  }
  const bool failed = fake::Called("ReadFile");
  int deviceResult = FALSE;
  if (!failed && fake::ReadDeviceFile(file, buffer, bytesToRead, bytesRead, overlapped, &deviceResult)) {
    return deviceResult;
  }
  if (bytesRead != nullptr) *bytesRead = 0;
  auto it = fake::table().pipeEnds.find(reinterpret_cast<std::uintptr_t>(file));
  if (failed || it == fake::table().pipeEnds.end() || it->second.write) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return FALSE;
  }
  fake::Pipe& pipe = *it->second.pipe;
  if (pipe.buffered.empty()) {
    // With a write end still open the real call would wait for ever.
    if (pipe.writeOpen || pipe.childWriting) fake::processes().readHung = true;
    SetLastError(ERROR_BROKEN_PIPE);
    return FALSE;
  }
  std::size_t n = std::min<std::size_t>({bytesToRead, pipe.buffered.size(), fake::processes().pipeChunk});
  std::memcpy(buffer, pipe.buffered.data(), n);
  pipe.buffered.erase(0, n);
  if (bytesRead != nullptr) *bytesRead = static_cast<DWORD>(n);
  return TRUE;
}

}  // namespace os
