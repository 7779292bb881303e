#include "install/install_command.h"

#include <cstdio>
#include <regex>
#include <vector>

#include "common/checked_open.h"
#include "common/control_ids.h"
#include "common/printer_models.h"
#include "common/form_validation.h"
#include "install/install_outcome.h"
#include "process/launch_process.h"
#include "install/tcpip_port.h"
#include "os/devices.h"
#include "os/files.h"
#include "os/processes.h"
#include "os/services.h"
#include "payload/archive_extraction.h"
#include "payload/resource_export.h"
#include "payload/staging_folder.h"
#include "trust/publisher_trust.h"
#include "usb/usb_printer_discovery.h"

namespace {

std::string Format(const char* format, std::initializer_list<const char*> values) {
  std::vector<const char*> v(values);
  v.resize(6, "");
  const int n = std::snprintf(nullptr, 0, format, v[0], v[1], v[2], v[3], v[4], v[5]);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  std::snprintf(out.data(), out.size() + 1, format, v[0], v[1], v[2], v[3], v[4], v[5]);
  return out;
}

// Starts "rundll32" with `arguments` in the payload folder and waits for it
// at most `waitMs`. A program that cannot be started counts as a failure, as
// does one still running at the bound (it is left to finish) and any exit
// status other than 0. Reports the outcome as `step`.
bool RunPrinterTool(const std::string& arguments, const std::string& payloadFolder, MessageSink& messages,
                    const char* step, os::DWORD waitMs) {
  os::HANDLE process = LaunchProcess("rundll32", arguments.c_str(), payloadFolder.c_str(), os::SW_SHOW);
  if (process == nullptr) {
    messages.Step(step, "rundll32 could not be started");
    return false;
  }
  os::OwnedHandle owner(process);
  if (os::WaitForSingleObject(process, waitMs) != os::WAIT_OBJECT_0) {
    const std::string bound = std::to_string(waitMs / 1000);
    messages.Step(step, waitMs == os::INFINITE ? "wait failed" : "not ended within " + bound + " s, left running");
    return false;
  }
  os::DWORD status = 0;
  if (!os::GetExitCodeProcess(process, &status)) {
    messages.Step(step, "exit status unreadable");
    return false;
  }
  messages.Step(step, "exit status " + std::to_string(status));
  return status == 0;
}

// What the spooler's answer says, for the log.
const char* Described(InstalledPrinter found) {
  switch (found) {
    case InstalledPrinter::Ours:
      return "ok";
    case InstalledPrinter::Missing:
      return "no printer of that name";
    case InstalledPrinter::Unreadable:
      return "its record could not be read";
    case InstalledPrinter::OtherDriver:
      return "a printer of that name on another driver";
    case InstalledPrinter::OtherPort:
      return "a printer of that name on another port";
    case InstalledPrinter::NotShared:
      return "the printer is not shared";
  }
  return "?";
}

// The command's working folder, removed with everything in it however the
// command ended; the clean-up is reported once the folder was made.
class StagedPayload {
 public:
  explicit StagedPayload(MessageSink& messages) : messages_(messages) {}
  ~StagedPayload() {
    if (!staging.ready()) return;
    const std::string folder = staging.PathOf("");
    messages_.Step("cleaned up", staging.Remove() ? "ok" : "files left in " + folder);
  }
  StagedPayload(const StagedPayload&) = delete;
  StagedPayload& operator=(const StagedPayload&) = delete;
  StagingFolder staging;

 private:
  MessageSink& messages_;
};

}  // namespace

const char* ReadInstallTarget(const SetupForm& form, InstallTarget& target) {
  target.printerName = form.PrinterName();
  if (!CheckPrinterName(target.printerName)) return kMsgPrinterNameWrong;
  if (form.UsbPrinterChecked()) {
    target.port = form.UsbPortName();
    return CheckUsbPortName(target.port) ? nullptr : kMsgUsbPortNameWrong;
  }
  target.port = form.HostAddress();
  target.address = CheckNetworkAddress(target.port, CompileIpv4Pattern());
  if (target.address == AddressCheck::RejectedByLength) return kMsgAddressLengthWrong;
  if (target.address == AddressCheck::RejectedByForm) return kMsgAddressFormWrong;
  target.portNumber = CheckPortText(form.PortText());
  return target.portNumber == 0 ? kMsgPortWrong : nullptr;
}

namespace {

// Steps up to the printer installation; returns the message of the first
// failure, or null when the printer tools ran to success.
const char* Install(const SetupForm& form, MessageSink& messages, StagedPayload& staged, const ChildRuns& runs,
                    std::vector<AddedCertificate>& trustAdded) {
  if (!staged.staging.Prepare()) return kMsgUnpackFolderFailed;
  const std::string archive = staged.staging.PathOf("install.zip");
  if (!ExportResource(archive, IDR_PAYLOAD_ZIP)) return kMsgInstallExportFailed;
  const std::string payloadFolder = staged.staging.PathOf("install\\");
  if (ExtractArchive(archive, payloadFolder, nullptr) != 0) return kMsgInstallExtractFailed;
  messages.Step("staged", payloadFolder);

  InstallTarget target;
  if (const char* problem = ReadInstallTarget(form, target)) return problem;
  const std::string& printerName = target.printerName;
  const std::string& port = target.port;
  if (form.UsbPrinterChecked()) {
    const VendorPortCheck vendor = CheckVendorUsbPort(port);
    // A check that could not be made says why before the model message.
    if (vendor == VendorPortCheck::NameBufferFailed) messages.Error(kMsgMallocSubKeyName);
    if (vendor == VendorPortCheck::ClassKeyFailed) messages.Error(kMsgOpenBaseKey);
    if (vendor != VendorPortCheck::Vendor) return kMsgPrinterModelWrong;
    messages.Step("checked", "USB printer on " + port);
  } else {
    messages.Step("checked", "network printer at " + port + " port " + std::to_string(target.portNumber));
    if (!RegisterTcpIpPort(port, target.portNumber, KindOf(target.address))) return kMsgAddPortFailed;
    messages.Step("port registered", port);
  }

  // 64-bit Windows stages no driver package whose signer it does not trust.
  if (!TrustPackageSigner(payloadFolder, messages, &trustAdded)) return kMsgInstallFailed;
  const std::string arguments =
      PrinterInstallArguments(form.ModelIndex(), payloadFolder, port, printerName, form.SharePrinter()) +
      PrinterUiQuietFlag(runs);
  // The printer UI reads the INF by the path on its command line: checked to
  // be the plain file at that path right before it starts, and held so that it
  // cannot be changed, renamed or replaced while the printer UI runs.
  os::OwnedHandle inf(HoldFileForReading(payloadFolder + ModelAt(form.ModelIndex(), kModel80).infFile));
  if (!inf.valid()) {
    messages.Step("driver package checked", "the INF is not at its path");
    return kMsgInstallFailed;
  }
  // The printer UI exits 0 even when it did nothing: the spooler has the last
  // word, and a printer that already had the name must be on our driver and port.
  if (!RunPrinterTool(arguments, payloadFolder, messages, "printer UI run", runs.printerInstallWaitMs)) {
    return kMsgInstallFailed;
  }
  const InstalledPrinter found =
      CheckInstalledPrinter(printerName, ModelAt(form.ModelIndex(), kModel80).driverName, port, form.SharePrinter());
  messages.Step("printer found", Described(found));
  if (found != InstalledPrinter::Ours) return kMsgInstallFailed;
  if (form.MakeDefault()) {
    const std::string makeDefault = DefaultPrinterArguments(printerName) + PrinterUiQuietFlag(runs);
    if (!RunPrinterTool(makeDefault, payloadFolder, messages, "default set", runs.toolWaitMs)) {
      return kMsgSetDefaultFailed;
    }
    const bool isDefault = IsDefaultPrinter(printerName);
    messages.Step("default confirmed", isDefault ? "ok" : "another printer is the default");
    if (!isDefault) return kMsgSetDefaultFailed;
  }
  return nullptr;
}

}  // namespace

std::string PrinterInstallArguments(int modelIndex, const std::string& payloadFolder, const std::string& port,
                                    const std::string& printerName, bool share) {
  const PrinterModel& model = ModelAt(modelIndex, kModel80);
  return Format("printui.dll,PrintUIEntry /if /f \"%s\\%s\" /r \"%s\" /m \"%s\" /b \"%s\"%s",
                {payloadFolder.c_str(), model.infFile, port.c_str(), model.driverName, printerName.c_str(),
                 share ? " /Z" : ""});
}

std::string DefaultPrinterArguments(const std::string& printerName) {
  return Format("printui.dll,PrintUIEntry /n \"%s\" /y", {printerName.c_str()});
}

void RunInstallCommand(const SetupForm& form, MessageSink& messages, const ChildRuns& runs) {
  StagedPayload staged(messages);
  std::vector<AddedCertificate> trustAdded;
  if (const char* failure = Install(form, messages, staged, runs, trustAdded)) {
    // What this run made trusted goes again; what an earlier run added stays.
    // The steps before it (the TCP/IP port) are left as they are.
    // Its own steps are logged; the install's failure is the message either way.
    (void)TakeBackCertificates(trustAdded, messages);
    messages.Error(failure);
  } else {
    messages.Notice(kMsgInstalled);
  }
}
