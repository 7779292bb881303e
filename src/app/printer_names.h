// Model and connection rules of the main dialog: the suggested printer name
// and which controls each connection kind enables.
#pragma once
#include "app/setup_form.h"

// The printer name table: index 1 is the 80 mm model, any other index
// (0, or -1 while the list has no selection) the 58 mm model.
const char* SuggestedPrinterName(int modelIndex, ConnectionKind kind);

// Enable state of the controls that depend on the connection kind.
struct ConnectionControls {
  bool hostEdit;
  bool portEdit;
  bool connectTestButton;
  bool usbPortCombo;
  bool findUsbPortButton;
};
ConnectionControls EnabledControlsFor(ConnectionKind kind);
