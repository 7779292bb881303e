// The Setup form double: values the test sets beforehand (by default a USB
// printer; NetworkDefaults() gives the dialog's network defaults). Every read
// is recorded by field name, so a test can tell which fields a command looked at.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "common/setup_form.h"

class ScriptedForm : public SetupForm {
 public:
  std::string printerName = "lumatrek58-usb";
  int modelIndex = 0;
  bool usbPrinterChecked = true;
  std::string usbPortName = "USB001";
  std::string hostAddress = "127.0.0.1";
  std::string portText = "9100";
  bool makeDefault = false;
  bool sharePrinter = false;

  std::string PrinterName() const override { return Read("printerName", printerName); }
  int ModelIndex() const override { return Read("modelIndex", modelIndex); }
  bool UsbPrinterChecked() const override { return Read("usbPrinterChecked", usbPrinterChecked); }
  std::string UsbPortName() const override { return Read("usbPortName", usbPortName); }
  std::string HostAddress() const override { return Read("hostAddress", hostAddress); }
  std::string PortText() const override { return Read("portText", portText); }
  bool MakeDefault() const override { return Read("makeDefault", makeDefault); }
  bool SharePrinter() const override { return Read("sharePrinter", sharePrinter); }

  // The dialog's defaults after choosing "Network Printer".
  static ScriptedForm NetworkDefaults() {
    ScriptedForm form;
    form.printerName = "lumatrek58-wifi";
    form.usbPrinterChecked = false;
    form.usbPortName.clear();
    form.hostAddress = "192.168.0.1";
    return form;
  }

  bool WasRead(const std::string& field) const {
    return std::find(reads.begin(), reads.end(), field) != reads.end();
  }

  mutable std::vector<std::string> reads;  // field names, in the order read

 private:
  template <typename T>
  T Read(const char* field, const T& value) const {
    reads.push_back(field);
    return value;
  }
};
