// The dialog's controls seen through the interfaces the commands use: the
// Setup form, the message boxes and the USB port list.
#pragma once
#include <string>

#include "common/messages.h"
#include "common/port_list_control.h"
#include "common/setup_form.h"
#include "app/dialog/main_dlg.h"

// Reads each field from its control when asked.
class DialogSetupForm : public SetupForm {
 public:
  explicit DialogSetupForm(const CMainDlg& dlg) : dlg_(dlg) {}
  std::string PrinterName() const override;
  int ModelIndex() const override;
  bool UsbPrinterChecked() const override;
  std::string UsbPortName() const override;
  std::string HostAddress() const override;
  std::string PortText() const override;
  bool MakeDefault() const override;
  bool SharePrinter() const override;

 private:
  const CMainDlg& dlg_;
};

// A message box owned by the dialog, MB_OK, no icon, in the user's language
// (common/message_table.h), through MessageBoxW.
class DialogMessages : public MessageSink {
 public:
  explicit DialogMessages(HWND owner) : owner_(owner) {}
  void Show(const std::string& text, const char* caption) override;

 private:
  HWND owner_;
};

// The "USB Port:" combo box.
class ComboPortList : public PortListControl {
 public:
  explicit ComboPortList(HWND combo) : combo_(combo) {}
  void ResetContent() override;
  void AddString(const char* name) override;
  void SetCurSel(int index) override;
  int GetCount() const override;
  void GetLBText(int index, char* buffer, int size) const override;
  void SelectString(const char* text) override;

 private:
  HWND combo_;
};

// The wait cursor for as long as a command runs on the dialog's thread; the
// cursor before it comes back on every path.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};
