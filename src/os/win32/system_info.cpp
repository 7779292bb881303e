// System information and WOW64 adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/system_info.h"

static_assert(sizeof(os::SYSTEM_INFO) == sizeof(::SYSTEM_INFO), "SYSTEM_INFO layout");
static_assert(offsetof(os::SYSTEM_INFO, dwNumberOfProcessors) == offsetof(::SYSTEM_INFO, dwNumberOfProcessors),
              "SYSTEM_INFO fields");
static_assert(os::PrimaryLanguageOf(0x0C04) == PRIMARYLANGID(0x0C04), "PRIMARYLANGID");

namespace os {

void GetNativeSystemInfo(SYSTEM_INFO* info) { ::GetNativeSystemInfo(reinterpret_cast<::SYSTEM_INFO*>(info)); }

DWORD GetVersion() { return ::GetVersion(); }

HANDLE GetCurrentProcess() { return ::GetCurrentProcess(); }

BOOL IsWow64Process(HANDLE process, BOOL* wow64) { return ::IsWow64Process(process, wow64); }

BOOLEAN Wow64EnableWow64FsRedirection(BOOLEAN enable) { return ::Wow64EnableWow64FsRedirection(enable); }

LANGID GetUserDefaultUILanguage() { return ::GetUserDefaultUILanguage(); }

}  // namespace os
