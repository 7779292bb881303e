// The printer models: what the model list shows, the driver package's INF
// file and driver name, and the printer names the dialog suggests. The model
// list sorts its items (CBS_SORT), so the table keeps them in that order and a
// model's place in the table is its index in the list.
#pragma once
#include <cstddef>

struct PrinterModel {
  const char* listName;            // item of the model list
  const char* infFile;             // in the payload folder
  const char* driverName;          // as the spooler lists the installed driver
  const char* usbPrinterName;      // suggested for a USB printer
  const char* networkPrinterName;  // suggested for a network printer
};

enum ModelIndex { kModel58 = 0, kModel80 = 1 };

inline constexpr PrinterModel kPrinterModels[] = {
    {"Lumatrek58 Printer", "lumatrek.inf", "lumatrek", "lumatrek58-usb", "lumatrek58-wifi"},
    {"Lumatrek80 Printer", "lumatrek80.inf", "lumatrek80", "lumatrek80-usb", "lumatrek80-wifi"},
};
inline constexpr std::size_t kPrinterModelCount = sizeof kPrinterModels / sizeof kPrinterModels[0];

// The model at `listIndex`; for an index that names no model (-1 while the
// list has no selection) the model `otherwise`. The callers differ on it: the
// install command takes the 80 mm model, the suggested name the 58 mm one.
const PrinterModel& ModelAt(int listIndex, ModelIndex otherwise);
