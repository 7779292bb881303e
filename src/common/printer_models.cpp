#include "common/printer_models.h"

const PrinterModel& ModelAt(int listIndex, ModelIndex otherwise) {
  if (listIndex >= 0 && static_cast<std::size_t>(listIndex) < kPrinterModelCount) return kPrinterModels[listIndex];
  return kPrinterModels[otherwise];
}
