#include "unattended/status_command.h"

#include <regex>

#include "common/control_ids.h"
#include "common/form_validation.h"
#include "common/printer_models.h"
#include "install/install_command.h"
#include "install/install_outcome.h"
#include "install/tcpip_port.h"
#include "payload/archive_extraction.h"
#include "payload/resource_export.h"
#include "payload/staging_folder.h"
#include "testprint/network_transport.h"
#include "testprint/printer_status.h"
#include "trust/publisher_trust.h"
#include "uninstall/spooler_lists.h"
#include "unattended/exit_codes.h"
#include "usb/usb_printer_discovery.h"

namespace {

// The first failing check's code wins; later checks still run and print.
struct Verdict {
  int code = 0;
  void Fail(int failure) {
    if (code == 0) code = failure;
  }
};

void CheckDriver(const char* driver, const StatusLine& line, Verdict& verdict) {
  const SpoolerList<os::DRIVER_INFO_3A> drivers = ListPrinterDrivers();
  if (!drivers) {
    line(std::string("driver ") + driver + ": the spooler's drivers cannot be listed");
    verdict.Fail(kExitStatusUncheckable);
    return;
  }
  for (const os::DRIVER_INFO_3A& d : drivers) {
    if (d.pName != nullptr && std::string(d.pName) == driver) {
      line(std::string("driver ") + driver + ": installed");
      return;
    }
  }
  line(std::string("driver ") + driver + ": not installed");
  verdict.Fail(kExitStatusNoDriver);
}

void CheckPrinter(const std::string& name, const char* driver, const std::string& port, const StatusLine& line,
                  Verdict& verdict) {
  const std::string head = "printer " + name + ": ";
  switch (CheckInstalledPrinter(name, driver, port)) {
    case InstalledPrinter::NotShared:  // not given: sharing is no part of the status
    case InstalledPrinter::Ours:
      line(head + "on driver " + driver + " and port " + port);
      return;
    case InstalledPrinter::Missing:
      line(head + "no printer of that name");
      verdict.Fail(kExitStatusNoPrinter);
      return;
    case InstalledPrinter::Unreadable:
      line(head + "its record cannot be read");
      verdict.Fail(kExitStatusUncheckable);
      return;
    case InstalledPrinter::OtherDriver:
      line(head + "on another driver than " + driver);
      verdict.Fail(kExitStatusOtherDriver);
      return;
    case InstalledPrinter::OtherPort:
      line(head + "on another port than " + port);
      verdict.Fail(kExitStatusOtherPort);
      return;
  }
}

void CheckPort(const std::string& address, int portNumber, const StatusLine& line, Verdict& verdict) {
  const std::string head = "TCP/IP port " + address + ": ";
  switch (CheckTcpIpPort(address, portNumber)) {
    case TcpIpPortCheck::Registered:
      line(head + "registered, raw TCP to port " + std::to_string(portNumber));
      return;
    case TcpIpPortCheck::Missing:
      line(head + "not registered");
      verdict.Fail(kExitStatusPortMissing);
      return;
    case TcpIpPortCheck::Different:
      line(head + "registered, but not as raw TCP to " + address + " port " + std::to_string(portNumber));
      verdict.Fail(kExitStatusPortMissing);
      return;
    case TcpIpPortCheck::Unreadable:
      line(head + "its entry cannot be read");
      verdict.Fail(kExitStatusUncheckable);
      return;
  }
}

// The signer certificate travels in the driver package: it is unpacked into
// a working folder of this run's own, which goes again with the staging.
void CheckSigner(const StatusLine& line, Verdict& verdict) {
  StagingFolder staging;
  const std::string archive = staging.Prepare() ? staging.PathOf("install.zip") : "";
  const std::string folder = staging.PathOf("install\\");
  if (archive.empty() || !ExportResource(archive, IDR_PAYLOAD_ZIP) || ExtractArchive(archive, folder, nullptr) != 0) {
    line("signer: the driver package cannot be unpacked to read its certificate");
    verdict.Fail(kExitStatusUncheckable);
    return;
  }
  std::string described;
  const SignerTrust trust = CheckPackageSigner(folder, described);
  line("signer " + described);
  if (trust == SignerTrust::NotTrusted) verdict.Fail(kExitStatusNotTrusted);
  if (trust == SignerTrust::Unknown) verdict.Fail(kExitStatusUncheckable);
}

}  // namespace

std::string PrinterStatusOf(const SetupForm& form) {
  if (form.UsbPrinterChecked()) {
    std::string stem;
    if (!FindUsbDeviceStem(form.UsbPortName(), stem)) return "no USB printer device on " + form.UsbPortName();
    return DescribePrinterStatus(ReadUsbPrinterStatus(stem));
  }
  std::string address = form.HostAddress();
  const std::regex ipv4 = CompileIpv4Pattern();
  const AddressCheck check = CheckNetworkAddress(address, ipv4);
  if (check == AddressCheck::HostName) {
    char resolved[256] = {};
    if (!ResolveHostAddress(address.c_str(), resolved)) return "no connection (" + address + " does not resolve)";
    address = resolved;
  } else if (check != AddressCheck::Ipv4Address) {
    return "no connection";
  }
  return DescribePrinterStatus(ReadNetworkPrinterStatus(address.c_str(), CheckPortText(form.PortText())));
}

int RunStatusCommand(const SetupForm& form, MessageSink& messages, const StatusLine& line) {
  // The form is judged as Install judges it, with Install's messages.
  InstallTarget target;
  if (const char* problem = ReadInstallTarget(form, target)) {
    messages.Error(problem);
    return -1;
  }
  const std::string& name = target.printerName;
  const std::string& port = target.port;
  const int portNumber = target.portNumber;

  const char* driver = ModelAt(form.ModelIndex(), kModel80).driverName;
  Verdict verdict;
  CheckDriver(driver, line, verdict);
  CheckPrinter(name, driver, port, line, verdict);
  if (!form.UsbPrinterChecked()) CheckPort(port, portNumber, line, verdict);
  CheckSigner(line, verdict);
  // What the printer itself says is no part of the installation's state.
  line("printer status: " + PrinterStatusOf(form));
  return verdict.code;
}
