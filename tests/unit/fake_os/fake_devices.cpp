#include "fake_devices.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>

#include "fake_files.h"
#include "fake_os.h"
#include "os/devices.h"

namespace fake {
namespace {

constexpr std::uintptr_t kStatusPending = 0x103;    // STATUS_PENDING
constexpr std::uintptr_t kStatusCancelled = 0xC0000120;  // STATUS_CANCELLED
constexpr os::DWORD kErrorInvalidHandle = 6;
constexpr os::DWORD kErrorGenFailure = 31;

enum class WriteState { None, Pending, Done, Aborted };

struct Handle {
  Device* device;
  WriteState state = WriteState::None;
  os::OVERLAPPED* overlapped = nullptr;  // of the pending write
  std::string data;                      // of the pending write
  const void* buffer = nullptr;          // the caller's page, which the system reads as it goes
  bool signalled = false;
  bool reading = false;                  // the pending operation is a read into `into`
  void* into = nullptr;
  os::DWORD wanted = 0;
};

struct State {
  std::deque<Device> devices;  // stable addresses
  std::map<std::uintptr_t, Handle> handles;
  std::uintptr_t nextHandle = 0x2000;
  std::vector<Handle> inFlight;  // writes still in the system's hands after their handle was closed
};

State& state() {
  static State* s = [] {
    auto* created = new State();
    OnReset([created] {
      *created = State();
      devices().opened.clear();
    });
    return created;
  }();
  return *s;
}

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::vector<HandleOwner>& owners() {
  static std::vector<HandleOwner> list;
  return list;
}

Handle* Lookup(os::HANDLE h) {
  auto it = state().handles.find(reinterpret_cast<std::uintptr_t>(h));
  return it == state().handles.end() ? nullptr : &it->second;
}

// A write that waiting does not complete.
bool Stuck(WriteOutcome outcome) {
  return outcome == WriteOutcome::NeverCompletes || outcome == WriteOutcome::IgnoresCancel;
}

// Whether waiting completes the pending operation of `h`.
bool Completes(const Handle& h) { return h.reading ? !h.device->toRead.empty() : !Stuck(h.device->outcome); }

// A pending read completes once the device has something to hand over.
void CompleteRead(Handle& h) {
  std::string& bytes = h.device->toRead;
  const std::size_t n = std::min<std::size_t>(bytes.size(), h.wanted);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), static_cast<char*>(h.into));
  bytes.erase(0, n);
  h.overlapped->Internal = 0;
  h.overlapped->InternalHigh = n;
  h.state = WriteState::Done;
  h.signalled = true;
}

// The device takes the pending page (the first half only when it falls short).
void Complete(Handle& h) {
  if (h.reading) return CompleteRead(h);
  if (h.device->outcome == WriteOutcome::FallsShort) h.data.resize(h.data.size() / 2);
  for (std::size_t i = 0; i + 2 < h.data.size(); ++i) {
    if (h.data[i] != 0x10 || h.data[i + 1] != 0x04) continue;
    auto answer = h.device->statusAnswers.find(h.data[i + 2]);
    if (answer != h.device->statusAnswers.end()) h.device->toRead += static_cast<char>(answer->second);
  }
  h.device->received += h.data;
  h.overlapped->Internal = 0;
  h.overlapped->InternalHigh = h.data.size();
  h.state = WriteState::Done;
  h.signalled = true;
}

}  // namespace

Device& Devices::Add(const std::string& path, WriteOutcome outcome) {
  state().devices.push_back(Device{});
  Device& d = state().devices.back();
  d.path = path;
  d.outcome = outcome;
  return d;
}

Device* Devices::Find(const std::string& path) {
  for (Device& d : state().devices) {
    if (SamePath(d.path, path)) return &d;
  }
  return nullptr;
}

Device* Devices::Of(void* handle) {
  Handle* h = Lookup(handle);
  return h == nullptr ? nullptr : h->device;
}

void* Devices::Open(const std::string& path) {
  Device* d = Find(path);
  if (d == nullptr) d = &Add(path);
  const std::uintptr_t h = state().nextHandle;
  state().nextHandle += 4;
  state().handles[h] = Handle{d};
  return reinterpret_cast<void*>(h);
}

void Devices::FinishAbandonedWrites() {
  // The system reads the page and writes the record's status only now: both
  // must still be the program's memory (AddressSanitizer says when not).
  for (Handle& h : state().inFlight) {
    h.data.assign(static_cast<const char*>(h.buffer), h.data.size());
    Complete(h);
  }
  state().inFlight.clear();
}

int Devices::OpenHandles() const { return static_cast<int>(state().handles.size()); }

void AddHandleOwner(HandleOwner owner) { owners().push_back(std::move(owner)); }

bool ReadDeviceFile(void* handle, void* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesRead,
                    void* overlappedRecord, int* result) {
  Handle* h = Lookup(handle);
  if (h == nullptr) return false;
  auto* overlapped = static_cast<os::OVERLAPPED*>(overlappedRecord);
  h->device->reads++;
  if (bytesRead != nullptr) *bytesRead = 0;
  *result = os::FALSE;
  if (overlapped == nullptr || (h->device->flags & os::FILE_FLAG_OVERLAPPED) == 0 ||
      h->state == WriteState::Pending) {
    os::SetLastError(os::ERROR_INVALID_PARAMETER);
    return true;
  }
  h->reading = true;
  h->into = buffer;
  h->wanted = bytesToRead;
  h->overlapped = overlapped;
  h->signalled = false;
  overlapped->Internal = kStatusPending;
  h->state = WriteState::Pending;
  os::SetLastError(os::ERROR_IO_PENDING);
  return true;
}

Devices& devices() {
  static Devices d;
  state();  // registers the reset
  return d;
}

}  // namespace fake

namespace os {

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE) {
  const bool failed = fake::Called("CreateFileA");
  // Console and other named devices ("CONOUT$") are devices, not files.
  if (fake::IsDiskPath(path) && fake::devices().Find(path) == nullptr) {
    if (!failed) return fake::OpenDiskFile(path, access, shareMode, securityAttributes, disposition, flags);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  fake::devices().opened.push_back(path);
  if (failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  fake::Device* d = fake::devices().Find(path);
  if (d == nullptr || disposition != OPEN_EXISTING) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  d->access = access;
  d->shareMode = shareMode;
  d->disposition = disposition;
  d->flags = flags;
  fake::State& s = fake::state();
  const std::uintptr_t h = s.nextHandle;
  s.nextHandle += 4;
  s.handles[h] = fake::Handle{d};
  return reinterpret_cast<HANDLE>(h);
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED* overlapped) {
  const bool failed = fake::Called("WriteFile");
  if (fake::IsDiskHandle(file)) {
    if (!failed) return fake::WriteDiskFile(file, buffer, bytesToWrite, bytesWritten);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  fake::Handle* h = fake::Lookup(file);
  if (h == nullptr) {
    SetLastError(fake::kErrorInvalidHandle);
    return FALSE;
  }
  fake::Device& d = *h->device;
  d.writes++;
  d.byteCountRequested = bytesWritten != nullptr;
  d.overlappedZeroed = overlapped != nullptr && overlapped->Internal == 0 && overlapped->InternalHigh == 0 &&
                       overlapped->Offset == 0 && overlapped->OffsetHigh == 0 && overlapped->hEvent == nullptr;
  if (bytesWritten != nullptr) *bytesWritten = 0;
  if (overlapped != nullptr && overlapped->Offset == 0xFFFFFFFFu && overlapped->OffsetHigh == 0xFFFFFFFFu) {
    d.writesToEnd++;
  }
  // Opened for plain I/O, a write without a record completes before it returns.
  if (overlapped == nullptr && (d.flags & FILE_FLAG_OVERLAPPED) == 0) {
    if (failed || d.outcome == fake::WriteOutcome::FailsAtOnce) {
      SetLastError(fake::kErrorGenFailure);
      return FALSE;
    }
    d.received.append(static_cast<const char*>(buffer), bytesToWrite);
    if (bytesWritten != nullptr) *bytesWritten = bytesToWrite;
    return TRUE;
  }
  // Opened for overlapped I/O, a write needs its record.
  if (overlapped == nullptr || (d.flags & FILE_FLAG_OVERLAPPED) == 0 || h->state == fake::WriteState::Pending) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (failed || d.outcome == fake::WriteOutcome::FailsAtOnce) {
    SetLastError(fake::kErrorGenFailure);
    return FALSE;
  }
  h->reading = false;
  h->data.assign(static_cast<const char*>(buffer), bytesToWrite);
  h->buffer = buffer;
  h->overlapped = overlapped;
  h->signalled = false;
  overlapped->Internal = fake::kStatusPending;
  h->state = fake::WriteState::Pending;
  if (d.outcome == fake::WriteOutcome::AtOnce) {
    fake::Complete(*h);
    if (bytesWritten != nullptr) *bytesWritten = bytesToWrite;
    return TRUE;
  }
  SetLastError(ERROR_IO_PENDING);
  return FALSE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  if (fake::Called("WaitForSingleObject")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return WAIT_FAILED;
  }
  for (const auto& owner : fake::owners()) {
    DWORD result = WAIT_FAILED;
    if (owner.wait && owner.wait(handle, milliseconds, &result)) return result;
  }
  fake::Handle* h = fake::Lookup(handle);
  if (h == nullptr) {
    SetLastError(fake::kErrorInvalidHandle);
    return WAIT_FAILED;
  }
  h->device->waits.push_back(milliseconds);
  if (h->state == fake::WriteState::Pending && fake::Completes(*h)) {
    fake::Complete(*h);
  }
  if (h->signalled) return WAIT_OBJECT_0;
  if (milliseconds == INFINITE) {
    // The real call would never return; say so and let the test see it.
    h->device->hung = true;
    SetLastError(fake::kErrorInvalidHandle);
    return WAIT_FAILED;
  }
  return WAIT_TIMEOUT;
}

BOOL CancelIo(HANDLE file) {
  fake::Called("CancelIo");
  fake::Handle* h = fake::Lookup(file);
  if (h == nullptr) {
    SetLastError(fake::kErrorInvalidHandle);
    return FALSE;
  }
  if (h->state == fake::WriteState::Pending && (h->reading || h->device->outcome == fake::WriteOutcome::NeverCompletes)) {
    if (h->reading) h->device->readsCancelled++;
    // Cancellation is itself asynchronous: the record is finished and the
    // handle signalled as the aborted write completes.
    h->overlapped->Internal = fake::kStatusCancelled;
    h->overlapped->InternalHigh = 0;
    h->state = fake::WriteState::Aborted;
    h->signalled = true;
    if (!h->reading) h->device->cancelled++;
  }
  return TRUE;
}

BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* bytesTransferred, BOOL wait) {
  fake::Called("GetOverlappedResult");
  fake::Handle* h = fake::Lookup(file);
  if (h == nullptr || overlapped == nullptr || overlapped != h->overlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (h->state == fake::WriteState::Pending) {
    if (fake::Completes(*h) && wait) {
      fake::Complete(*h);
    } else {
      if (wait) h->device->hung = true;
      SetLastError(ERROR_IO_INCOMPLETE);
      return FALSE;
    }
  }
  if (bytesTransferred != nullptr) *bytesTransferred = static_cast<DWORD>(overlapped->InternalHigh);
  if (h->state == fake::WriteState::Aborted) {
    SetLastError(ERROR_OPERATION_ABORTED);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  fake::Called("CloseHandle");
  for (const auto& owner : fake::owners()) {
    if (owner.close && owner.close(handle)) return TRUE;
  }
  auto& handles = fake::state().handles;
  auto it = handles.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == handles.end()) {
    SetLastError(fake::kErrorInvalidHandle);
    return FALSE;
  }
  if (it->second.state == fake::WriteState::Pending) {
    it->second.device->lostOnClose++;
    if (it->second.reading) {
      handles.erase(it);
      return TRUE;
    }
    // A write that ignores cancellation is not ended by the close either.
    if (it->second.device->outcome == fake::WriteOutcome::IgnoresCancel) fake::state().inFlight.push_back(it->second);
  }
  handles.erase(it);
  return TRUE;
}

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
  fake::Called("CharUpperBuffA");
  // Code page 936: a byte from 0x81 on leads a two-byte character whose trail
  // byte may look like an ASCII letter.
  for (DWORD i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < length) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      text[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return length;
}

}  // namespace os
