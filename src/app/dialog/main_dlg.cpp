#include "app/dialog/main_dlg.h"

#include "app/centre.h"
#include "app/dialog/dialog_views.h"
#include "common/printer_models.h"
#include "common/printer_names.h"
#include "port_list/usb_port_list.h"
#include "install/install_command.h"
#include "testprint/connect_test_command.h"
#include "testprint/find_usb_port_command.h"
#include "uninstall/uninstall_command.h"

namespace {

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void CMainDlg::CentreOnOwnerOrWorkArea() {
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  const bool useOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
  HMONITOR monitor = ::MonitorFromWindow(useOwner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr) return;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoA(monitor, &info)) return;
  RECT dialog{};
  ::GetWindowRect(m_hWnd, &dialog);
  RECT ownerRect{};
  Rect reference{};
  if (useOwner) {
    ::GetWindowRect(owner, &ownerRect);
    reference = ToRect(ownerRect);
  }
  const Point p = CentredTopLeft(ToRect(dialog), useOwner ? &reference : nullptr, ToRect(info.rcWork));
  ::SetWindowPos(m_hWnd, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CentreOnOwnerOrWorkArea();

  HINSTANCE instance = _Module.GetResourceInstance();
  HANDLE big = ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                            ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
  SendMessageA(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  HANDLE small = ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                              ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
  SendMessageA(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

  // The template's black frame becomes the centred side picture: the style
  // loses its lowest bit (SS_CENTER's) and gains SS_BITMAP and SS_CENTERIMAGE.
  CWindow picture(GetDlgItem(IDC_SIDE_PICTURE));
  const LONG style = ::GetWindowLongA(picture, GWL_STYLE);
  const LONG pictureStyle = (style & ~SS_CENTER) | SS_BITMAP | SS_CENTERIMAGE;
  if (pictureStyle != style) ::SetWindowLongA(picture, GWL_STYLE, pictureStyle);
  picture.SendMessageA(STM_SETIMAGE, IMAGE_BITMAP,
                       reinterpret_cast<LPARAM>(::LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_SIDE))));

  defaultPrinterCheck = GetDlgItem(IDC_DEFAULT_PRINTER);
  usbPortCombo = GetDlgItem(IDC_USB_PORT);
  modelCombo = GetDlgItem(IDC_MODEL);
  printerNameEdit = GetDlgItem(IDC_PRINTER_NAME);
  printerNameEdit.SetWindowTextA("lumatrek");
  sharePrinterCheck = GetDlgItem(IDC_SHARE_PRINTER);
  hostEdit = GetDlgItem(IDC_HOST);
  portEdit = GetDlgItem(IDC_PORT);
  usbRadio = GetDlgItem(IDC_USB_RADIO);
  networkRadio = GetDlgItem(IDC_NETWORK_RADIO);
  findUsbPortButton = GetDlgItem(IDC_FIND_USB_PORT);
  connectTestButton = GetDlgItem(IDC_CONNECT_TEST);

  // Runs OnUsbSelected while the model list is still empty: the 58 mm USB name.
  usbRadio.SendMessageA(BM_CLICK);

  hostEdit.SetWindowTextA("192.168.0.1");
  portEdit.SetWindowTextA("9100");
  for (const PrinterModel& model : kPrinterModels) {
    modelCombo.SendMessageA(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model.listName));
  }
  modelCombo.SendMessageA(CB_SETCURSEL, 0);

  ComboPortList ports(usbPortCombo);
  return FillUsbPortList(ports, nullptr) ? TRUE : FALSE;
}

LRESULT CMainDlg::OnCloseCommand(WORD, WORD id, HWND, BOOL&) {
  EndDialog(id);
  return 0;
}

void CMainDlg::ApplyConnectionKind(bool network) {
  const ConnectionKind kind = network ? ConnectionKind::Network : ConnectionKind::Usb;
  const ConnectionControls enabled = EnabledControlsFor(kind);
  // Network controls first, then the USB controls, as the enable table lists them.
  hostEdit.EnableWindow(enabled.hostEdit);
  portEdit.EnableWindow(enabled.portEdit);
  connectTestButton.EnableWindow(enabled.connectTestButton);
  usbPortCombo.EnableWindow(enabled.usbPortCombo);
  findUsbPortButton.EnableWindow(enabled.findUsbPortButton);
  const int model = static_cast<int>(modelCombo.SendMessageA(CB_GETCURSEL));
  printerNameEdit.SetWindowTextA(SuggestedPrinterName(model, kind));
}

LRESULT CMainDlg::OnUsbSelected(WORD, WORD, HWND, BOOL&) {
  ApplyConnectionKind(false);
  return 0;
}

LRESULT CMainDlg::OnNetworkSelected(WORD, WORD, HWND, BOOL&) {
  ApplyConnectionKind(true);
  return 0;
}

LRESULT CMainDlg::OnModelChanged(WORD, WORD, HWND, BOOL&) {
  const int model = static_cast<int>(modelCombo.SendMessageA(CB_GETCURSEL));
  const bool network = networkRadio.SendMessageA(BM_GETCHECK) != 0;
  printerNameEdit.SetWindowTextA(SuggestedPrinterName(model, network ? ConnectionKind::Network : ConnectionKind::Usb));
  return 0;
}

LRESULT CMainDlg::OnUsbPortDropDown(WORD, WORD, HWND, BOOL&) {
  ComboPortList ports(usbPortCombo);
  DialogMessages messages(m_hWnd);
  ::OnUsbPortDropDown(ports, messages);
  return 0;
}

// The four commands are routed here; each runs its operation to the end on
// this thread under the wait cursor and reports through message boxes owned
// by the dialog.
LRESULT CMainDlg::OnInstall(WORD, WORD, HWND, BOOL&) {
  const WaitCursor busy;
  DialogSetupForm form(*this);
  DialogMessages messages(m_hWnd);
  RunInstallCommand(form, messages);
  return 0;
}

LRESULT CMainDlg::OnConnectTest(WORD, WORD, HWND, BOOL&) {
  const WaitCursor busy;
  DialogSetupForm form(*this);
  DialogMessages messages(m_hWnd);
  RunConnectTest(form, messages);
  return 0;
}

LRESULT CMainDlg::OnFindUsbPort(WORD, WORD, HWND, BOOL&) {
  const WaitCursor busy;
  ComboPortList ports(usbPortCombo);
  DialogMessages messages(m_hWnd);
  RunFindUsbPort(ports, messages);
  return 0;
}

LRESULT CMainDlg::OnUninstall(WORD, WORD, HWND, BOOL&) {
  const WaitCursor busy;
  DialogMessages messages(m_hWnd);
  RunUninstallCommand(messages);
  return 0;
}
