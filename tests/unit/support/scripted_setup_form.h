// A Setup form whose fields a test sets directly. Counts the reads of each
// field, so a test can tell which controls a command looked at.
#pragma once
#include <string>

#include "app/setup_form.h"

class ScriptedSetupForm : public SetupForm {
 public:
  std::string PrinterName() const override { return ++reads.printerName, printerName; }
  int ModelIndex() const override { return ++reads.modelIndex, modelIndex; }
  bool UsbPrinterChecked() const override { return ++reads.usbPrinterChecked, usbPrinterChecked; }
  std::string UsbPortName() const override { return ++reads.usbPortName, usbPortName; }
  std::string HostAddress() const override { return ++reads.hostAddress, hostAddress; }
  std::string PortText() const override { return ++reads.portText, portText; }
  bool MakeDefault() const override { return ++reads.makeDefault, makeDefault; }
  bool SharePrinter() const override { return ++reads.sharePrinter, sharePrinter; }

  // The dialog's defaults for a network printer.
  std::string printerName = "lumatrek58-wifi";
  int modelIndex = 0;
  bool usbPrinterChecked = false;
  std::string usbPortName;
  std::string hostAddress = "192.168.0.1";
  std::string portText = "9100";
  bool makeDefault = false;
  bool sharePrinter = false;

  struct Reads {
    int printerName = 0, modelIndex = 0, usbPrinterChecked = 0, usbPortName = 0;
    int hostAddress = 0, portText = 0, makeDefault = 0, sharePrinter = 0;
  };
  mutable Reads reads;
};
