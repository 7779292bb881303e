#include "fake_system_info.h"

#include "fake_os.h"
#include "os/security.h"
#include "os/system_info.h"

namespace fake {

SystemInfo& systemInfo() {
  static SystemInfo* s = [] {
    auto* created = new SystemInfo();
    OnReset([created] { *created = SystemInfo(); });
    return created;
  }();
  return *s;
}

void SystemInfo::Make32BitX86() {
  nativeArchitecture = 0;  // PROCESSOR_ARCHITECTURE_INTEL
  wow64 = false;
}

}  // namespace fake

namespace os {

namespace {
HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
constexpr DWORD kInvalidHandle = 6;          // ERROR_INVALID_HANDLE
constexpr DWORD kInvalidFunction = 1;        // ERROR_INVALID_FUNCTION
}  // namespace

void GetNativeSystemInfo(SYSTEM_INFO* info) {
  fake::Called("GetNativeSystemInfo");
  *info = SYSTEM_INFO{};
  info->wProcessorArchitecture = fake::systemInfo().nativeArchitecture;
  info->dwPageSize = 4096;
  info->dwNumberOfProcessors = 2;
  info->dwAllocationGranularity = 65536;
}

LANGID GetUserDefaultUILanguage() {
  fake::Called("GetUserDefaultUILanguage");
  return fake::systemInfo().uiLanguage;
}

DWORD GetVersion() {
  fake::Called("GetVersion");
  return fake::systemInfo().version;
}

HANDLE GetCurrentProcess() { return kCurrentProcess; }

BOOL IsWow64Process(HANDLE process, BOOL* wow64) {
  if (fake::Called("IsWow64Process") || process != kCurrentProcess || wow64 == nullptr) {
    SetLastError(kInvalidHandle);
    return FALSE;
  }
  *wow64 = fake::systemInfo().wow64 ? TRUE : FALSE;
  return TRUE;
}

BOOLEAN Wow64EnableWow64FsRedirection(BOOLEAN enable) {
  const bool failed = fake::Called("Wow64EnableWow64FsRedirection");
  auto& s = fake::systemInfo();
  if (failed || !s.wow64) {
    SetLastError(kInvalidFunction);
    return FALSE;
  }
  s.redirectionOn = enable != 0;
  s.switchedTo.push_back(enable != 0);
  return TRUE;
}

unsigned char RtlGenRandom(void* buffer, unsigned long size) {
  if (fake::Called("RtlGenRandom")) return FALSE;
  for (unsigned long i = 0; i < size; ++i) static_cast<unsigned char*>(buffer)[i] = fake::systemInfo().nextRandom++;
  return TRUE;
}

}  // namespace os
