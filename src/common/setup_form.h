// The Setup form: what the commands read from the main dialog's controls.
// Nothing is stored; each call reads its control at the moment it is made.
#pragma once
#include <string>

enum class ConnectionKind { Usb, Network };

class SetupForm {
 public:
  virtual ~SetupForm() = default;
  virtual std::string PrinterName() const = 0;   // edit 1010
  virtual int ModelIndex() const = 0;            // list 1015, CB_GETCURSEL (-1: none)
  virtual bool UsbPrinterChecked() const = 0;    // radio 1013
  virtual std::string UsbPortName() const = 0;   // list 1007, text of the selection
  virtual std::string HostAddress() const = 0;   // edit 1011
  virtual std::string PortText() const = 0;      // edit 1012
  virtual bool MakeDefault() const = 0;          // check box 1006
  virtual bool SharePrinter() const = 0;         // check box 1008
};
