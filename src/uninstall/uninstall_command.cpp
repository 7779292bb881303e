#include "uninstall/uninstall_command.h"

#include <string>

#include "common/printer_models.h"
#include "os/system_info.h"
#include "spooler/service_control.h"
#include "trust/publisher_trust.h"
#include "uninstall/driver_files.h"
#include "uninstall/driver_packages.h"
#include "uninstall/driver_removal.h"

namespace {

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

// Reports `what` as `step` and passes it on.
bool Reported(MessageSink& messages, const char* step, bool what) {
  messages.Step(step, what ? "ok" : "failed");
  return what;
}

bool RemoveEverything(MessageSink& messages, const ChildRuns& runs) {
  RestartSpooler();  // results ignored
  for (const PrinterModel& model : kPrinterModels) {
    const std::string step = std::string("printers and driver removed: ") + model.driverName;
    if (!Reported(messages, step.c_str(), RemoveDriver(model.driverName, runs) != 0)) return false;
  }
  RestartSpooler();  // results ignored
  if (!Reported(messages, "driver packages removed", RemoveDriverPackages(runs.toolWaitMs))) return false;
  if (!Reported(messages, "driver files deleted", DeleteDriverFiles())) return false;
  return RemoveAddedCertificates(messages);
}

}  // namespace

void RunUninstallCommand(MessageSink& messages, const ChildRuns& runs) {
  RedirectionOff redirection;
  const bool removed =
      Reported(messages, "WOW64 redirection off", redirection.ok()) && RemoveEverything(messages, runs);
  if (removed) {
    messages.Notice(kUninstalled);
  } else {
    messages.Error(kUninstallFailed);
  }
  redirection.Restore();
}
