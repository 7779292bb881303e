#include "unattended/exit_codes.h"

namespace {

struct MessageCode {
  MessageId id;
  int code;
};

// Listed in the README; a code, once published, never changes its meaning
// (23, for a left-over folder that could not be cleared, is no longer given;
// nor is 51: the uninstall's failure asks for a restart, and says so with 3010).
constexpr MessageCode kMessageCodes[] = {
    {MessageId::UnpackFolderFailed, 21},   {MessageId::InstallExportFailed, 22},
    {MessageId::InstallExtractFailed, 24}, {MessageId::PrinterNameWrong, 25},
    {MessageId::UsbPortNameWrong, 26},     {MessageId::PrinterModelWrong, 27},
    {MessageId::AddressLengthWrong, 28},   {MessageId::AddressFormWrong, 29},
    {MessageId::PortWrong, 30},            {MessageId::AddPortFailed, 31},
    {MessageId::InstallFailed, 32},        {MessageId::SetDefaultFailed, 33},
    {MessageId::ResolveFailed, 41},        {MessageId::TestFolderFailed, 42},
    {MessageId::TestExportFailed, 43},     {MessageId::TestExtractFailed, 44},
    {MessageId::TestPortWriteFailed, 45},  {MessageId::UninstallFailed, 3010},
    {MessageId::MallocSubKeyName, 61},     {MessageId::OpenBaseKey, 62},
    {MessageId::EnumPortsFailed, 71},      {MessageId::AllocFailed, 72},
};

}  // namespace

int ExitCodeForMessage(MessageId id) {
  for (const MessageCode& entry : kMessageCodes) {
    if (id == entry.id) return entry.code;
  }
  return kExitUnknownMessage;
}

int ExitCodeForMessage(const std::string& text) {
  const MessageText* message = FindMessage(text);
  return message == nullptr ? kExitUnknownMessage : ExitCodeForMessage(message->id);
}
