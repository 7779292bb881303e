#include "uninstall/uninstall_command.h"

#include "app/printer_models.h"
#include "os/system_info.h"
#include "spooler/service_control.h"
#include "uninstall/driver_files.h"
#include "uninstall/driver_packages.h"
#include "uninstall/driver_removal.h"

namespace {

constexpr const char kUninstalled[] = "驱动卸载完成";
constexpr const char kUninstallFailed[] = "驱动卸载失败，请重启计算机后重试！";

// Switches WOW64 file-system redirection off while it lives, so that the
// system folder and the programs started from it are the native ones. A
// process that does not run under WOW64 has no redirection, and switching it
// there fails: it is left alone. When the question cannot be answered, the
// switch is tried anyway.
class RedirectionOff {
 public:
  RedirectionOff() {
    os::BOOL wow64 = os::TRUE;
    if (!os::IsWow64Process(os::GetCurrentProcess(), &wow64)) wow64 = os::TRUE;
    applies_ = wow64 != os::FALSE;
    if (applies_) ok_ = os::Wow64EnableWow64FsRedirection(os::FALSE) != os::FALSE;
  }
  ~RedirectionOff() { Restore(); }
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

  // False when redirection applies and could not be switched off.
  bool ok() const { return ok_; }
  // Switches redirection back on, also when switching it off failed, so the
  // thread is left as it normally runs. Once only.
  void Restore() {
    if (applies_) os::Wow64EnableWow64FsRedirection(os::TRUE);
    applies_ = false;
  }

 private:
  bool applies_ = false;
  bool ok_ = true;
};

bool RemoveEverything() {
  RestartSpooler();  // results ignored
  for (const PrinterModel& model : kPrinterModels) {
    if (RemoveDriver(model.driverName) == 0) return false;
  }
  RestartSpooler();  // results ignored
  if (!RemoveDriverPackages()) return false;
  return DeleteDriverFiles();
}

}  // namespace

void RunUninstallCommand(MessageSink& messages) {
  RedirectionOff redirection;
  const bool removed = redirection.ok() && RemoveEverything();
  if (removed) {
    messages.Notice(kUninstalled);
  } else {
    messages.Error(kUninstallFailed);
  }
  redirection.Restore();
}
