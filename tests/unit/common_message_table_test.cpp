// The message table: every text a command reports has its entry and its
// English text, and the user's interface language picks the texts shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/form_validation.h"
#include "common/message_table.h"
#include "common/messages.h"
#include "fake_os/fake_system_info.h"
#include "install/install_command.h"
#include "port_list/usb_port_list.h"
#include "testprint/connect_test_command.h"
#include "testprint/network_transport.h"
#include "testprint/sample_staging.h"
#include "uninstall/uninstall_command.h"
#include "usb/usb_printer_discovery.h"

namespace {

// Every text the commands report, by the constants they report it with.
const std::vector<std::string> kReported = {
    kCaptionError,          kCaptionNotice,          kMsgAllocFailed,         kMsgEnumPortsFailed,
    kMsgUnpackFolderFailed, kMsgInstallExportFailed, kMsgInstallExtractFailed, kMsgPrinterNameWrong,
    kMsgUsbPortNameWrong,   kMsgPrinterModelWrong,   kMsgAddressLengthWrong,  kMsgAddressFormWrong,
    kMsgPortWrong,          kMsgAddPortFailed,       kMsgInstallFailed,       kMsgSetDefaultFailed,
    kMsgInstalled,          kMsgResolveFailed,       kMsgTestFolderFailed,    kMsgTestExportFailed,
    kMsgTestExtractFailed,  kMsgTestDataSent,        kMsgTestPortWriteFailed, kMsgMallocSubKeyName,
    kMsgOpenBaseKey,        kUninstalled,            kUninstallFailed,        kDiagConnectFailed,
};

}  // namespace

TEST(MessageTable, EveryReportedTextHasItsOwnEntryAndAnAsciiEnglishText) {
  std::set<MessageId> ids;
  for (const std::string& text : kReported) {
    const MessageText* entry = FindMessage(text);
    ASSERT_NE(nullptr, entry) << text;
    EXPECT_EQ(text, entry->chinese);
    EXPECT_TRUE(ids.insert(entry->id).second) << text;
    const std::string english = entry->english;
    EXPECT_FALSE(english.empty()) << text;
    for (const char c : english) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << text << ": " << english;
    // A Chinese text is translated; the USB check's English texts stay as they are.
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    EXPECT_EQ(ascii, english == text) << text;
  }
  EXPECT_EQ(nullptr, FindMessage("Test data sent"));  // English texts name no message
}

TEST(MessageTable, TheUsersInterfaceLanguageChoosesTheTexts) {
  struct Case {
    std::uint16_t language;
    MessageLanguage expected;
  };
  const std::vector<Case> cases = {
      {0x0804, MessageLanguage::Chinese},  // zh-CN
      {0x0404, MessageLanguage::Chinese},  // zh-TW
      {0x0C04, MessageLanguage::Chinese},  // zh-HK
      {0x1004, MessageLanguage::Chinese},  // zh-SG
      {0x0409, MessageLanguage::English},  // en-US
      {0x0809, MessageLanguage::English},  // en-GB
      {0x0411, MessageLanguage::English},  // ja-JP: no Chinese reader either
      {0x0407, MessageLanguage::English},  // de-DE
      {0x0444, MessageLanguage::English},  // tt-RU: low byte 0x44, primary language 0x44, not 0x04
  };
  for (const Case& c : cases) {
    fake::systemInfo().uiLanguage = c.language;
    EXPECT_EQ(c.expected, UserMessageLanguage()) << std::hex << c.language;
  }
}

TEST(MessageTable, TextsAreShownInTheLanguageAndUnknownTextsUnchanged) {
  // "提示", "测试端口写入失败" in GBK
  EXPECT_EQ("\xCC\xE1\xCA\xBE", ShownText(kCaptionNotice, MessageLanguage::Chinese));
  EXPECT_EQ("Notice", ShownText(kCaptionNotice, MessageLanguage::English));
  EXPECT_EQ("Error", ShownText(kCaptionError, MessageLanguage::English));
  EXPECT_EQ("\xB2\xE2\xCA\xD4\xB6\xCB\xBF\xDA\xD0\xB4\xC8\xEB\xCA\xA7\xB0\xDC",
            ShownText(kMsgTestPortWriteFailed, MessageLanguage::Chinese));
  EXPECT_EQ("Writing to the test port failed", ShownText(kMsgTestPortWriteFailed, MessageLanguage::English));
  for (const MessageLanguage language : {MessageLanguage::Chinese, MessageLanguage::English}) {
    EXPECT_EQ("lumatrek-setup: the command ended without a result",
              ShownText("lumatrek-setup: the command ended without a result", language));
    EXPECT_EQ("", ShownText("", language));
  }
}
