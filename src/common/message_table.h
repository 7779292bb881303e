// Every text the program shows the user, in the two languages it speaks. The
// commands report with their Chinese texts (GBK), which name each message; the
// places that show them (message boxes, the console, the log) pick the text in
// the user's language from this table.
#pragma once
#include <string>

enum class MessageId {
  CaptionError,
  CaptionNotice,
  EnumPortsFailed,
  AllocFailed,
  UnpackFolderFailed,
  InstallExportFailed,
  InstallExtractFailed,
  PrinterNameWrong,
  UsbPortNameWrong,
  PrinterModelWrong,
  AddressLengthWrong,
  AddressFormWrong,
  PortWrong,
  AddPortFailed,
  InstallFailed,
  SetDefaultFailed,
  Installed,
  ResolveFailed,
  TestFolderFailed,
  TestExportFailed,
  TestExtractFailed,
  TestDataSent,
  TestPortWriteFailed,
  MallocSubKeyName,
  OpenBaseKey,
  Uninstalled,
  UninstallFailed,
  ConnectFailed,  // the label of the connection diagnostic
};

struct MessageText {
  MessageId id;
  const char* chinese;  // GBK, exactly the text the command reports
  const char* english;  // ASCII
};

enum class MessageLanguage { Chinese, English };

// The table entry whose Chinese text is `text`; null for a text it does not hold.
const MessageText* FindMessage(const std::string& text);
// Chinese where the user's interface language (GetUserDefaultUILanguage) is a
// Chinese one, English everywhere else.
MessageLanguage UserMessageLanguage();
// `text` as the user reads it: the table's text in `language`, or `text`
// itself where the table does not hold it.
std::string ShownText(const std::string& text, MessageLanguage language);
