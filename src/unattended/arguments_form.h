// The Setup form read from the command line: what the dialog's controls would
// hold, with the dialog's defaults for what the line leaves out.
#pragma once
#include "common/port_list_control.h"
#include "common/setup_form.h"
#include "unattended/command_line.h"

class ArgumentsForm : public SetupForm {
 public:
  explicit ArgumentsForm(const UnattendedOptions& options) : o_(options) {}
  // The name given, else the name the dialog suggests for the model and connection.
  std::string PrinterName() const override;
  int ModelIndex() const override { return o_.modelIndex; }
  bool UsbPrinterChecked() const override { return o_.usb; }
  std::string UsbPortName() const override { return o_.usb ? o_.usbPort : std::string(); }
  std::string HostAddress() const override { return o_.network ? o_.host : std::string(); }
  std::string PortText() const override { return o_.port; }
  bool MakeDefault() const override { return o_.makeDefault; }
  bool SharePrinter() const override { return o_.share; }

 private:
  const UnattendedOptions& o_;
};

// The "USB Port:" list of an unattended test print: the one port named on the
// command line. Remembers whether the test command selected it.
class SinglePortList : public PortListControl {
 public:
  explicit SinglePortList(const std::string& port) : port_(port) {}
  void ResetContent() override {}
  void AddString(const char*) override {}
  void SetCurSel(int) override {}
  int GetCount() const override { return 1; }
  void GetLBText(int index, char* buffer, int size) const override;
  void SelectString(const char* text) override { selected = port_ == text; }

  bool selected = false;

 private:
  const std::string port_;
};
