#include "unattended/exit_codes.h"

#include "port_list/usb_port_list.h"
#include "common/form_validation.h"
#include "install/install_command.h"
#include "testprint/connect_test_command.h"
#include "testprint/sample_staging.h"
#include "uninstall/uninstall_command.h"
#include "usb/usb_printer_discovery.h"

namespace {

struct MessageCode {
  const char* text;
  int code;
};

// Listed in the README; a code, once published, never changes its meaning
// (23, for a left-over folder that could not be cleared, is no longer given;
// nor is 51: the uninstall's failure asks for a restart, and says so with 3010).
constexpr MessageCode kMessageCodes[] = {
    {kMsgUnpackFolderFailed, 21},   {kMsgInstallExportFailed, 22},
    {kMsgInstallExtractFailed, 24}, {kMsgPrinterNameWrong, 25},    {kMsgUsbPortNameWrong, 26},
    {kMsgPrinterModelWrong, 27},    {kMsgAddressLengthWrong, 28},  {kMsgAddressFormWrong, 29},
    {kMsgPortWrong, 30},            {kMsgAddPortFailed, 31},       {kMsgInstallFailed, 32},
    {kMsgSetDefaultFailed, 33},     {kMsgResolveFailed, 41},       {kMsgTestFolderFailed, 42},
    {kMsgTestExportFailed, 43},     {kMsgTestExtractFailed, 44},   {kMsgTestPortWriteFailed, 45},
    {kUninstallFailed, 3010},       {kMsgMallocSubKeyName, 61},
    {kMsgOpenBaseKey, 62},
    {kMsgEnumPortsFailed, 71},      {kMsgAllocFailed, 72},
};

}  // namespace

int ExitCodeForMessage(const std::string& text) {
  for (const MessageCode& entry : kMessageCodes) {
    if (text == entry.text) return entry.code;
  }
  return kExitUnknownMessage;
}
