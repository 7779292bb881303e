#include "unattended/arguments_form.h"

#include <cstring>

#include "common/printer_names.h"

std::string ArgumentsForm::PrinterName() const {
  if (o_.nameGiven) return o_.name;
  return SuggestedPrinterName(o_.modelIndex, o_.usb ? ConnectionKind::Usb : ConnectionKind::Network);
}

void SinglePortList::GetLBText(int index, char* buffer, int size) const {
  if (size <= 0) return;
  buffer[0] = '\0';
  // As CB_GETLBTEXT would: nothing for an index past the list or a name that does not fit.
  if (index != 0 || port_.size() >= static_cast<std::size_t>(size)) return;
  std::memcpy(buffer, port_.c_str(), port_.size() + 1);
}
