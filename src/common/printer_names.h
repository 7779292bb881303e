// Model and connection rules of the main dialog: the suggested printer name
// and which controls each connection kind enables.
#pragma once
#include "common/setup_form.h"

// The suggested name of the model at `modelIndex` (common/printer_models.h); an
// index that names no model (-1 while the list has no selection) suggests the
// 58 mm model's name.
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
