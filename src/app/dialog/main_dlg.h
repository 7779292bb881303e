// The main dialog: its controls, start-up defaults and command routing.
#pragma once
#include "common/control_ids.h"
#include "app/dialog/dialog_framework.h"

class CMainDlg : public CDialogImpl<CMainDlg> {
 public:
  enum { IDD = IDD_MAIN };

  BEGIN_MSG_MAP(CMainDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
    COMMAND_HANDLER(IDC_FIND_USB_PORT, BN_CLICKED, OnFindUsbPort)
    COMMAND_HANDLER(IDC_QUIT, BN_CLICKED, OnCloseCommand)
    COMMAND_HANDLER(IDC_INSTALL, BN_CLICKED, OnInstall)
    COMMAND_HANDLER(IDC_USB_PORT, CBN_DROPDOWN, OnUsbPortDropDown)
    COMMAND_HANDLER(IDC_USB_RADIO, BN_CLICKED, OnUsbSelected)
    COMMAND_HANDLER(IDC_NETWORK_RADIO, BN_CLICKED, OnNetworkSelected)
    COMMAND_HANDLER(IDC_CONNECT_TEST, BN_CLICKED, OnConnectTest)
    COMMAND_HANDLER(IDC_UNINSTALL, BN_CLICKED, OnUninstall)
    COMMAND_HANDLER(IDC_MODEL, CBN_SELCHANGE, OnModelChanged)
  END_MSG_MAP()

  // Control wrappers, bound by OnInitDialog.
  CWindow printerNameEdit;
  CWindow usbPortCombo;
  CWindow modelCombo;
  CWindow defaultPrinterCheck;
  CWindow sharePrinterCheck;
  CWindow usbRadio;
  CWindow networkRadio;
  CWindow hostEdit;
  CWindow portEdit;
  CWindow findUsbPortButton;
  CWindow connectTestButton;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnCloseCommand(WORD, WORD id, HWND, BOOL& bHandled);
  LRESULT OnUsbSelected(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnNetworkSelected(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnModelChanged(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnUsbPortDropDown(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnInstall(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnConnectTest(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnFindUsbPort(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnUninstall(WORD, WORD, HWND, BOOL& bHandled);

  // Loaded by OnInitDialog, freed by OnDestroy.
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  HBITMAP sidePicture = nullptr;

  void CentreOnOwnerOrWorkArea();
  void ApplyConnectionKind(bool network);
};
