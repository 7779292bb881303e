#include "fake_console.h"

#include "fake_devices.h"
#include "fake_os.h"
#include "os/console.h"
#include "os/devices.h"

namespace fake {

Console& console() {
  static Console* c = [] {
    auto* created = new Console();
    OnReset([created] { *created = Console(); });
    return created;
  }();
  return *c;
}

std::string Console::Output() const {
  std::string out;
  for (const char* path : {"CONOUT$", "<stdout>"}) {
    if (const Device* d = devices().Find(path)) out += d->received;
  }
  return out;
}

}  // namespace fake

namespace os {

LPCSTR GetCommandLineA() {
  fake::Called("GetCommandLineA");
  return fake::console().commandLine.c_str();
}

BOOL AttachConsole(DWORD processId) {
  fake::Console& c = fake::console();
  if (fake::Called("AttachConsole") || processId != ATTACH_PARENT_PROCESS || !c.parentConsole || c.attached) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  c.attached = true;
  if (fake::devices().Find("CONOUT$") == nullptr) fake::devices().Add("CONOUT$");
  return TRUE;
}

HANDLE GetStdHandle(DWORD which) {
  fake::Called("GetStdHandle");
  if (which != STD_OUTPUT_HANDLE || !fake::console().redirected) return nullptr;
  return fake::devices().Open("<stdout>");
}

}  // namespace os
