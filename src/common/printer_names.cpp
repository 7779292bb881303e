#include "common/printer_names.h"

#include "common/printer_models.h"

const char* SuggestedPrinterName(int modelIndex, ConnectionKind kind) {
  const PrinterModel& model = ModelAt(modelIndex, kModel58);
  return kind == ConnectionKind::Network ? model.networkPrinterName : model.usbPrinterName;
}

ConnectionControls EnabledControlsFor(ConnectionKind kind) {
  const bool network = kind == ConnectionKind::Network;
  return ConnectionControls{network, network, network, !network, !network};
}
