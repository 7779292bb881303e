#include <gtest/gtest.h>

#include <functional>

#include "common/form_validation.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "payload/text.h"
#include "process/system_program.h"
#include "testprint/usb_transport.h"
#include "uninstall/driver_files.h"

TEST(CheckPrinterName, AcceptsOneToThirtyOneBytes) {
  EXPECT_FALSE(CheckPrinterName(""));
  EXPECT_TRUE(CheckPrinterName("x"));
  EXPECT_TRUE(CheckPrinterName(std::string(31, 'a')));
  EXPECT_FALSE(CheckPrinterName(std::string(32, 'a')));
  EXPECT_TRUE(CheckPrinterName("  spaces are kept  "));
  // Sixteen double-byte characters are 32 bytes.
  std::string gbk;
  for (int i = 0; i < 16; ++i) gbk += "\xB2\xE2";
  EXPECT_FALSE(CheckPrinterName(gbk));
  EXPECT_TRUE(CheckPrinterName(gbk.substr(2)));
}

TEST(CheckNetworkAddress, AcceptsOnlyWholeDottedAddressesWithoutLeadingZeros) {
  const std::regex ipv4 = CompileIpv4Pattern();
  for (const char* good : {"192.168.0.1", "0.0.0.0", "255.255.255.255", "127.0.0.1", "10.200.99.249"}) {
    EXPECT_EQ(AddressCheck::Ipv4Address, CheckNetworkAddress(good, ipv4)) << good;
  }
  for (const char* bad : {"256.1.1.1", "01.2.3.4", "1.2.3", "1.2.3.4.5", "1.2.3.4 ", " 1.2.3.4", "1.2.3.04",
                          "a.b.c.d", "printer", "PRINTER.LOCAL"}) {
    EXPECT_EQ(AddressCheck::RejectedByForm, CheckNetworkAddress(bad, ipv4)) << bad;
  }
}

TEST(CheckNetworkAddress, AcceptsAnyTextHoldingDotLocalAsAHostName) {
  const std::regex ipv4 = CompileIpv4Pattern();
  for (const char* name : {"printer.local", "a.localnet", "x.local.y", ".local"}) {
    EXPECT_EQ(AddressCheck::HostName, CheckNetworkAddress(name, ipv4)) << name;
  }
  EXPECT_EQ(AddressKind::HostName, KindOf(AddressCheck::HostName));
  EXPECT_EQ(AddressKind::Ipv4Address, KindOf(AddressCheck::Ipv4Address));
}

TEST(CheckNetworkAddress, LengthIsCheckedBeforeAnyPattern) {
  const std::regex ipv4 = CompileIpv4Pattern();
  EXPECT_EQ(AddressCheck::RejectedByLength, CheckNetworkAddress("", ipv4));
  const std::string name31 = std::string(25, 'p') + ".local";
  ASSERT_EQ(31u, name31.size());
  EXPECT_EQ(AddressCheck::HostName, CheckNetworkAddress(name31, ipv4));
  EXPECT_EQ(AddressCheck::RejectedByLength, CheckNetworkAddress("p" + name31, ipv4));
}

TEST(CheckPortText, ReadsTheNumberAsStrtolDoes) {
  EXPECT_EQ(9100, CheckPortText("9100"));
  EXPECT_EQ(9100, CheckPortText(" 9100"));
  EXPECT_EQ(9100, CheckPortText("9100abc"));
  EXPECT_EQ(80, CheckPortText("+80"));
  EXPECT_EQ(1, CheckPortText("1"));
  EXPECT_EQ(65535, CheckPortText("65535"));
  for (const char* bad : {"", "0", "65536", "-1", "abc", "0x50", "99999999999999999999", "-4294967295"}) {
    EXPECT_EQ(0, CheckPortText(bad)) << bad;
  }
  EXPECT_EQ(0, CheckPortText(std::string(28, '0') + "9100"));  // 32 bytes
  EXPECT_EQ(9100, CheckPortText(std::string(27, '0') + "9100"));
}

TEST(ValidationMessages, AreTheProgramsGbkTexts) {
  EXPECT_STREQ("\xB4\xF2\xD3\xA1\xBB\xFA\xC3\xFB\xB3\xC6\xB4\xED\xCE\xF3", kMsgPrinterNameWrong);
  EXPECT_STREQ("\xB4\xF2\xD3\xA1\xBB\xFA" "IP\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3", kMsgAddressLengthWrong);
  EXPECT_STREQ("\xB4\xF2\xD3\xA1\xBB\xFA\xB6\xCB\xBF\xDA\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3(0 < port < 65536)",
               kMsgPortWrong);
}

// Names that would change the printer tool's command line, or that the
// spooler refuses, are rejected; a trail byte 0x5C of a GBK character is not a '\'.
TEST(CheckPrinterName, RefusesCharactersThatCannotBePassedSafely) {
  for (const char* bad : {"a\" /q /x \"", "x\"", "a\\b", "a,b", "tab\there", "line\nend", "del\x7F"}) {
    EXPECT_FALSE(CheckPrinterName(bad)) << bad;
  }
  for (const char* good : {"x&calc&", "100%", "a!b", "Lumatrek 58 (copy)", "\xD5\x5C" "58", "\xB2\xE2\xCA\xD4"}) {
    EXPECT_TRUE(CheckPrinterName(good)) << good;
  }
}

TEST(CheckNetworkAddress, RefusesHostNamesOutsideDnsCharacters) {
  const std::regex ipv4 = CompileIpv4Pattern();
  for (const char* bad : {"a\".local", "p.local\\x", "p.local x", "p&calc.local", "p%x%.local", "\xB2\xE2.local",
                          "p_q.local"}) {
    EXPECT_EQ(AddressCheck::RejectedByForm, CheckNetworkAddress(bad, ipv4)) << bad;
  }
  EXPECT_EQ(AddressCheck::HostName, CheckNetworkAddress("Printer-2.local", ipv4));
}

// Every place that reads a name or path byte by byte walks GBK characters
// whole: 0x95 0x5C is one character, not a backslash, and a lead byte at the
// very end has lost its trail byte.
TEST(DoubleByteNames, ATrailByte0x5CIsNoBackslashAndALoneLeadByteIsRefused) {
  const std::string folder = "C:\\\x95\x5C";  // a system folder whose last character ends in 0x5C
  const std::vector<std::pair<const char*, std::function<bool()>>> cases = {
      {"a printer name ending in a lone lead byte", [] { return !CheckPrinterName("printer\x95"); }},
      {"a printer name ending in 0x95 0x5C", [] { return CheckPrinterName("printer\x95\x5C"); }},
      {"a path ending in 0x95 0x5C has no separator", [&] { return !payload::EndsWithBackslash(folder); }},
      {"a system program below such a folder",
       [&] {
         fake::processes().systemDirectory = folder;
         std::string path;
         return SystemProgramPath("pnputil", path) && path == folder + "\\pnputil.exe";
       }},
      {"the driver folders below it",
       [&] {
         fake::processes().systemDirectory = folder;
         return GetDriverFolders().system == folder + "\\";
       }},
      {"a device path keeps the character whole",
       [] { return UsbDevicePath("USB\\\x95\x5C").compare(0, 10, "\\\\?\\USB#\x95\x5C") == 0; }},
  };
  for (const auto& [what, holds] : cases) {
    fake::Reset();
    EXPECT_TRUE(holds()) << what;
  }
}

TEST(CheckUsbPortName, TakesPlainPortNamesOnly) {
  for (const std::string& good : {std::string("USB001"), std::string("LPT1:"), std::string("TS_002"),
                                  std::string("WSD-4b9e.01"), std::string(63, 'P')}) {
    EXPECT_TRUE(CheckUsbPortName(good)) << good;
  }
  for (const std::string& bad : {std::string(), std::string(64, 'P'), std::string("USB001\" /f \"x"),
                                 std::string("USB 001"), std::string("USB\\001"), std::string("USB001\t"),
                                 std::string("USB\xB6\xCB")}) {
    EXPECT_FALSE(CheckUsbPortName(bad)) << bad;
  }
}
