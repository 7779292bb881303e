// Ids and styles of the program's resources, shared by the resource script
// (setup.rc), the C++ (through app/control_ids.h) and the end-to-end robot
// scripts, which name controls by these ids (tests/e2e/lib.sh reads the plain
// "#define NAME NUMBER" lines). Plain defines only, so a resource compiler,
// a C++ compiler without <windows.h> and a shell script can all read them.
#pragma once

// Resources.
#define IDI_APP 128
#define IDD_MAIN 129
#define IDB_SIDE 201
#define IDR_PAYLOAD_ZIP 205
#define IDR_SAMPLE_ZIP 208

// Controls of the main dialog.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_INSTALL 1000
#define IDC_SIDE_PICTURE 1001
#define IDC_UNINSTALL 1002
#define IDC_FIND_USB_PORT 1004
#define IDC_QUIT 1005
#define IDC_DEFAULT_PRINTER 1006
#define IDC_USB_PORT 1007
#define IDC_SHARE_PRINTER 1008
#define IDC_CONNECT_TEST 1009
#define IDC_PRINTER_NAME 1010
#define IDC_HOST 1011
#define IDC_PORT 1012
#define IDC_USB_RADIO 1013
#define IDC_NETWORK_RADIO 1014
#define IDC_MODEL 1015

// Window styles of the main dialog and its controls, in the platform's names
// (expanded only where <windows.h> is seen: the resource script and the dialog).
#define STYLE_MAIN_DIALOG (DS_SETFONT | DS_FIXEDSYS | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
#define STYLE_PUSH_BUTTON (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON)
#define STYLE_CHECK_BOX (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX)
#define STYLE_RADIO_BUTTON (WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON)
#define STYLE_GROUP_BOX (WS_CHILD | WS_VISIBLE | BS_GROUPBOX)
#define STYLE_LABEL (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER)
#define STYLE_EDIT (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL)
#define STYLE_NUMBER_EDIT (STYLE_EDIT | ES_NUMBER)
#define STYLE_DROP_DOWN_LIST (WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT)
// The side picture: a black frame in the template, which the dialog turns into
// a centred bitmap at start-up.
#define STYLE_SIDE_FRAME (WS_CHILD | WS_VISIBLE | SS_BLACKFRAME)
