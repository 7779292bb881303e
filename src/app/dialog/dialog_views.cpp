#include "app/dialog/dialog_views.h"

#include <vector>

#include "common/message_table.h"
#include "common/text_encoding.h"

namespace {

std::string WindowText(HWND control) {
  const int length = ::GetWindowTextLengthA(control);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  ::GetWindowTextA(control, buffer.data(), length + 1);
  return std::string(buffer.data());
}

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) != 0; }

}  // namespace

std::string DialogSetupForm::PrinterName() const { return WindowText(dlg_.printerNameEdit); }
int DialogSetupForm::ModelIndex() const {
  return static_cast<int>(dlg_.modelCombo.SendMessageA(CB_GETCURSEL));
}
bool DialogSetupForm::UsbPrinterChecked() const { return Checked(dlg_.usbRadio); }
std::string DialogSetupForm::UsbPortName() const { return WindowText(dlg_.usbPortCombo); }
std::string DialogSetupForm::HostAddress() const { return WindowText(dlg_.hostEdit); }
std::string DialogSetupForm::PortText() const { return WindowText(dlg_.portEdit); }
bool DialogSetupForm::MakeDefault() const { return Checked(dlg_.defaultPrinterCheck); }
bool DialogSetupForm::SharePrinter() const { return Checked(dlg_.sharePrinterCheck); }

// The texts are GBK whatever the system's code page: converted from code
// page 936 they read right on any Windows (MessageBoxA would read them in the
// system's code page).
void DialogMessages::Show(const std::string& text, const char* caption) {
  const MessageLanguage language = UserMessageLanguage();
  const WideText wideText = WideFromProgramText(ShownText(text, language));
  const WideText wideCaption = WideFromProgramText(ShownText(caption, language));
  if (wideText.empty() || wideCaption.empty()) {
    ::MessageBoxA(owner_, text.c_str(), caption, MB_OK);  // no conversion: as the system reads it
    return;
  }
  ::MessageBoxW(owner_, reinterpret_cast<LPCWSTR>(wideText.c_str()), reinterpret_cast<LPCWSTR>(wideCaption.c_str()),
                MB_OK);
}

WaitCursor::WaitCursor() : previous_(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
WaitCursor::~WaitCursor() { ::SetCursor(previous_); }

void ComboPortList::ResetContent() { ::SendMessageA(combo_, CB_RESETCONTENT, 0, 0); }
void ComboPortList::AddString(const char* name) {
  ::SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}
void ComboPortList::SetCurSel(int index) { ::SendMessageA(combo_, CB_SETCURSEL, index, 0); }
int ComboPortList::GetCount() const { return static_cast<int>(::SendMessageA(combo_, CB_GETCOUNT, 0, 0)); }
void ComboPortList::GetLBText(int index, char* buffer, int size) const {
  if (size <= 0) return;
  buffer[0] = '\0';
  // CB_GETLBTEXT has no size argument: check the length first so nothing overruns.
  const LRESULT length = ::SendMessageA(combo_, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR || length >= size) return;
  ::SendMessageA(combo_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
}
void ComboPortList::SelectString(const char* text) {
  ::SendMessageA(combo_, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}
