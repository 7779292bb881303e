#include <gtest/gtest.h>

#include <string>

#include "fake_os/fake_os.h"
#include "fake_os/fake_registry.h"
#include "usb/usb_printer_discovery.h"

namespace {

// Written out here rather than taken from the code under test.
const std::string kClassKey =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const std::string kSuffix = "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

std::string Interface(const std::string& instance) { return "##?#" + instance + kSuffix; }

std::string ParametersOf(const std::string& keyName) { return kClassKey + "\\" + keyName + "\\#\\Device Parameters"; }

void AddInterface(const std::string& keyName, std::uint32_t port) {
  fake::registry().SetDword(ParametersOf(keyName), "Port Number", port);
}

// Both lookups at once, checking that nothing is left open or allocated.
struct Lookup {
  VendorPortCheck check;
  bool vendor;
  bool found;
  std::string stem;
};

Lookup LookUp(const std::string& port) {
  Lookup r;
  r.check = CheckVendorUsbPort(port);
  r.vendor = r.check == VendorPortCheck::Vendor;
  EXPECT_EQ(0, fake::registry().OpenKeys()) << "after CheckVendorUsbPort(" << port << ")";
  EXPECT_EQ(0, fake::LiveBlocks());
  r.stem = "untouched";
  r.found = FindUsbDeviceStem(port, r.stem);
  EXPECT_EQ(0, fake::registry().OpenKeys()) << "after FindUsbDeviceStem(" << port << ")";
  EXPECT_EQ(0, fake::LiveBlocks());
  return r;
}

}  // namespace

TEST(UsbPortNumber, TakesTheDecimalValueFromTheFourthCharacterOn) {
  EXPECT_EQ(1, UsbPortNumber("USB001"));
  EXPECT_EQ(10, UsbPortNumber("USB010"));
  EXPECT_EQ(12, UsbPortNumber("USB012x7"));
  EXPECT_EQ(5, UsbPortNumber("XYZ 5"));
  EXPECT_EQ(-3, UsbPortNumber("USB-3"));
  EXPECT_EQ(0, UsbPortNumber("USBABC"));
  EXPECT_EQ(0, UsbPortNumber("USB"));
  EXPECT_EQ(0, UsbPortNumber(""));
  EXPECT_EQ(2147483647, UsbPortNumber("USB99999999999"));
}

TEST(UsbPortNumber, AShortNameIsNotReadPastItsEnd) {
  // "US" followed in memory by digits must not be taken for a port number.
  const char memory[] = "US\0" "7777";
  EXPECT_EQ(0, UsbPortNumber(std::string(memory, 2)));
  std::string shortened = "US" + std::string(8, '7');
  shortened.resize(2);  // the digits stay in the buffer behind the name's end
  EXPECT_EQ(0, UsbPortNumber(shortened));
}

TEST(DeviceStemOfInterfaceKey, DropsThePrefixAndCutsAtTheClassSuffix) {
  EXPECT_EQ("USB#VID_4B9E&PID_0001#abc", DeviceStemOfInterfaceKey(Interface("USB#VID_4B9E&PID_0001#abc")));
  EXPECT_EQ("", DeviceStemOfInterfaceKey("##?#USB#VID_4B9E&PID_0001#abc"));
  EXPECT_EQ("", DeviceStemOfInterfaceKey("ab"));
}

TEST(UsbPrinterDiscovery, FindsTheInterfaceWithThePortsNumber) {
  AddInterface(Interface("USB#VID_1234&PID_0002#xyz"), 2);
  AddInterface(Interface("USB#VID_4B9E&PID_0001#abc"), 1);
  fake::registry().AddKey(kClassKey + "\\" + Interface("USB#VID_4B9E&PID_0003#noparams"));
  AddInterface(Interface("USB#VID_4B9E&PID_0010#ten"), 10);

  Lookup one = LookUp("USB001");
  EXPECT_TRUE(one.vendor);
  EXPECT_TRUE(one.found);
  EXPECT_EQ("USB#VID_4B9E&PID_0001#abc", one.stem);
  EXPECT_EQ(VendorPortCheck::Vendor, one.check);

  Lookup ten = LookUp("USB010");
  EXPECT_TRUE(ten.vendor);
  EXPECT_EQ("USB#VID_4B9E&PID_0010#ten", ten.stem);

  Lookup other = LookUp("USB002");
  EXPECT_FALSE(other.vendor) << "another maker's printer";
  EXPECT_EQ("USB#VID_1234&PID_0002#xyz", other.stem);

  Lookup none = LookUp("USB003");
  EXPECT_FALSE(none.vendor);
  EXPECT_FALSE(none.found);
  EXPECT_EQ("untouched", none.stem);
  EXPECT_EQ(VendorPortCheck::NotVendor, none.check);
}

// The device registry is only read, so keys that grant nothing more serve.
TEST(UsbPrinterDiscovery, KeysThatGrantOnlyReadingAreEnough) {
  AddInterface(Interface("USB#VID_4B9E&PID_0001#abc"), 1);
  fake::registry().ReadOnly(kClassKey);
  fake::registry().ReadOnly(ParametersOf(Interface("USB#VID_4B9E&PID_0001#abc")));
  Lookup one = LookUp("USB001");
  EXPECT_TRUE(one.vendor);
  EXPECT_TRUE(one.found);
  EXPECT_EQ("USB#VID_4B9E&PID_0001#abc", one.stem);
}

TEST(UsbPrinterDiscovery, TheFirstEnumeratedInterfaceWithTheNumberDecides) {
  // A stale interface of another printer still holds port 1 ahead of the current one.
  AddInterface(Interface("USB#VID_1234&PID_0009#old"), 1);
  AddInterface(Interface("USB#VID_4B9E&PID_0001#new"), 1);
  Lookup r = LookUp("USB001");
  EXPECT_FALSE(r.vendor);
  EXPECT_TRUE(r.found);
  EXPECT_EQ("USB#VID_1234&PID_0009#old", r.stem);

  fake::Reset();
  AddInterface(Interface("USB#VID_4B9E&PID_0001#new"), 1);
  AddInterface(Interface("USB#VID_1234&PID_0009#old"), 1);
  r = LookUp("USB001");
  EXPECT_TRUE(r.vendor);
  EXPECT_EQ("USB#VID_4B9E&PID_0001#new", r.stem);
}

TEST(CheckVendorUsbPort, SeeksTheMarkInExactCaseAnywhereInTheName) {
  AddInterface(Interface("USB#VID_4b9e&PID_0001#abc"), 1);
  AddInterface(Interface("USB#VID_1234&PID_0002#SER4B9E"), 2);
  EXPECT_EQ(VendorPortCheck::NotVendor, CheckVendorUsbPort("USB001")) << "lower-case mark";
  EXPECT_EQ(VendorPortCheck::Vendor, CheckVendorUsbPort("USB002")) << "mark in the serial number";
}

TEST(UsbPrinterDiscovery, OnlyFindUsbDeviceStemInsistsOnADwordValue) {
  const std::string key = Interface("USB#VID_4B9E&PID_0001#bin");
  fake::registry().SetValue(ParametersOf(key), "Port Number", 3 /* REG_BINARY */, std::string("\x01\x00\x00\x00", 4));
  AddInterface(Interface("USB#VID_1234&PID_0001#dw"), 1);
  Lookup r = LookUp("USB001");
  EXPECT_TRUE(r.vendor) << "the binary value is compared on its bytes";
  EXPECT_EQ("USB#VID_1234&PID_0001#dw", r.stem) << "the binary value is skipped";
}

TEST(CheckVendorUsbPort, AValueShorterThanFourBytesCountsOnlyTheBytesItHas) {
  // A one-byte value 0x01 after a value whose buffer held 0x01 0x01 0x00 0x00.
  AddInterface(Interface("USB#VID_1234&PID_0001#a"), 0x101);
  fake::registry().SetValue(ParametersOf(Interface("USB#VID_4B9E&PID_0001#b")), "Port Number", 3, "\x01");
  EXPECT_EQ(VendorPortCheck::Vendor, CheckVendorUsbPort("USB001"));
  EXPECT_EQ(VendorPortCheck::NotVendor, CheckVendorUsbPort("USB257"));
}

TEST(FindUsbDeviceStem, AMatchWithoutTheClassSuffixGivesAnEmptyStem) {
  AddInterface("##?#USB#VID_4B9E&PID_0001#abc", 1);
  std::string stem = "untouched";
  EXPECT_TRUE(FindUsbDeviceStem("USB001", stem));
  EXPECT_EQ("", stem);
}

TEST(UsbPrinterDiscovery, WithoutTheClassKeyTheVendorCheckSaysWhy) {
  fake::registry().AddKey("SYSTEM\\ControlSet001\\Control\\DeviceClasses");
  Lookup r = LookUp("USB001");
  EXPECT_FALSE(r.vendor);
  EXPECT_FALSE(r.found);
  EXPECT_EQ("untouched", r.stem);
  EXPECT_EQ(VendorPortCheck::ClassKeyFailed, r.check);
}

namespace {
struct FailingCall {
  const char* call;
  int nth;
  VendorPortCheck check;  // CheckVendorUsbPort's answer
  bool found;             // FindUsbDeviceStem's answer
};

class UsbPrinterDiscoveryFailure : public testing::TestWithParam<FailingCall> {};
}  // namespace

TEST_P(UsbPrinterDiscoveryFailure, EndsQuietlyWithEverythingReleased) {
  const FailingCall& c = GetParam();
  AddInterface(Interface("USB#VID_1234&PID_0002#x"), 2);
  AddInterface(Interface("USB#VID_4B9E&PID_0001#abc"), 1);
  fake::FailNth(c.call, c.nth);
  Lookup r = LookUp("USB001");
  EXPECT_EQ(c.check, r.check);
  EXPECT_EQ(c.found, r.found);
  if (!c.found) {
    EXPECT_EQ("untouched", r.stem);
  }
}

// The vendor's printer sits second, behind an interface of port 2.
INSTANTIATE_TEST_SUITE_P(
    EachCall, UsbPrinterDiscoveryFailure,
    testing::ValuesIn(std::vector<FailingCall>{
        {"malloc", 1, VendorPortCheck::NameBufferFailed, true},
        {"malloc", 2, VendorPortCheck::Vendor, false},
        {"RegOpenKeyA", 1, VendorPortCheck::ClassKeyFailed, true},
        {"RegOpenKeyExA", 1, VendorPortCheck::Vendor, false},
        {"RegEnumKeyA", 1, VendorPortCheck::NotVendor, true},
        {"RegEnumKeyExA", 1, VendorPortCheck::Vendor, false},
        {"RegEnumKeyA", 2, VendorPortCheck::NotVendor, true},
        {"RegEnumKeyExA", 2, VendorPortCheck::Vendor, false},
        {"RegOpenKeyA", 3, VendorPortCheck::NotVendor, true},  // the matching interface's parameters
        {"RegOpenKeyExA", 3, VendorPortCheck::Vendor, false},
        {"RegQueryValueExA", 2, VendorPortCheck::NotVendor, true},  // second query: the vendor check's match
        {"RegQueryValueExA", 4, VendorPortCheck::Vendor, false},  // fourth: FindUsbDeviceStem's match
    }),
    [](const testing::TestParamInfo<FailingCall>& param) {
      return std::string(param.param.call) + "Call" + std::to_string(param.param.nth);
    });
