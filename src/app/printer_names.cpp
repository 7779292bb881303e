#include "app/printer_names.h"

const char* SuggestedPrinterName(int modelIndex, ConnectionKind kind) {
  const bool model80 = modelIndex == 1;
  if (kind == ConnectionKind::Network) return model80 ? "lumatrek80-wifi" : "lumatrek58-wifi";
  return model80 ? "lumatrek80-usb" : "lumatrek58-usb";
}

ConnectionControls EnabledControlsFor(ConnectionKind kind) {
  const bool network = kind == ConnectionKind::Network;
  return ConnectionControls{network, network, network, !network, !network};
}
