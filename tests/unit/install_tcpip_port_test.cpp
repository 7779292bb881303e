#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_os/fake_os.h"
#include "fake_os/fake_registry.h"
#include "fake_os/fake_services.h"
#include "install/tcpip_port.h"
#include "os/services.h"

namespace {

const std::string kPorts = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const std::vector<std::string> kNineValues = {"HostName", "IPAddress",  "HWAddress",    "SNMP Community", "Protocol",
                                              "Version",  "PortNumber", "SNMP Enabled", "SNMP Index"};

fake::Registry& reg() { return fake::registry(); }

// A value as REG_SZ with its NUL, or REG_DWORD little-endian.
fake::RegValue Sz(const std::string& bytesWithNul) { return {1, bytesWithNul}; }
fake::RegValue Dword(const std::string& fourBytes) { return {4, fourBytes}; }

void ExpectValue(const std::string& key, const std::string& name, const fake::RegValue& expected) {
  const fake::RegValue actual = reg().Value(key, name);
  EXPECT_EQ(expected.type, actual.type) << name;
  EXPECT_EQ(expected.data, actual.data) << name;
}

class RegisterTcpIpPortTest : public testing::Test {
 protected:
  void SetUp() override {
    reg().AddKey(kPorts);
    fake::services().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
    fake::services().Find("Spooler")->stopMs = 800;
  }
};

}  // namespace

TEST_F(RegisterTcpIpPortTest, AnIpv4AddressGetsItsEntryWithTheNineValuesInOrder) {
  EXPECT_TRUE(RegisterTcpIpPort("192.168.0.1", 9100, AddressKind::Ipv4Address));
  const std::string key = kPorts + "\\192.168.0.1";
  EXPECT_EQ(std::vector<std::string>{"192.168.0.1"}, reg().SubKeys(kPorts));
  EXPECT_EQ(kNineValues, reg().ValueNames(key));
  ExpectValue(key, "HostName", Sz(std::string("192.168.0.1\0", 12)));
  ExpectValue(key, "IPAddress", Sz(std::string("192.168.0.1\0", 12)));
  ExpectValue(key, "HWAddress", Sz(std::string("\0", 1)));
  ExpectValue(key, "SNMP Community", Sz(std::string("cmtyrd\0", 7)));
  ExpectValue(key, "Protocol", Dword(std::string("\x01\x00\x00\x00", 4)));
  ExpectValue(key, "Version", Dword(std::string("\x01\x00\x00\x00", 4)));
  ExpectValue(key, "PortNumber", Dword(std::string("\x8C\x23\x00\x00", 4)));  // 9100
  ExpectValue(key, "SNMP Enabled", Dword(std::string("\x00\x00\x00\x00", 4)));
  ExpectValue(key, "SNMP Index", Dword(std::string("\x01\x00\x00\x00", 4)));
  EXPECT_EQ(0, reg().OpenKeys());
}

TEST_F(RegisterTcpIpPortTest, AHostNameHasAnEmptyIpAddress) {
  EXPECT_TRUE(RegisterTcpIpPort("printer.local", 65535, AddressKind::HostName));
  const std::string key = kPorts + "\\printer.local";
  ExpectValue(key, "HostName", Sz(std::string("printer.local\0", 14)));
  ExpectValue(key, "IPAddress", Sz(std::string("\0", 1)));
  ExpectValue(key, "PortNumber", Dword(std::string("\xFF\xFF\x00\x00", 4)));
  EXPECT_EQ(kNineValues, reg().ValueNames(key));
}

TEST_F(RegisterTcpIpPortTest, RegisteringAgainOverwritesTheNineValuesAndKeepsTheOthers) {
  const std::string key = kPorts + "\\192.168.0.1";
  EXPECT_TRUE(RegisterTcpIpPort("192.168.0.1", 9100, AddressKind::Ipv4Address));
  reg().SetDword(key, "Queue", 7);  // written by someone else meanwhile
  EXPECT_TRUE(RegisterTcpIpPort("192.168.0.1", 9101, AddressKind::Ipv4Address));
  EXPECT_EQ(std::vector<std::string>{"192.168.0.1"}, reg().SubKeys(kPorts));
  ExpectValue(key, "PortNumber", Dword(std::string("\x8D\x23\x00\x00", 4)));  // 9101
  ExpectValue(key, "Queue", Dword(std::string("\x07\x00\x00\x00", 4)));
  EXPECT_EQ(10u, reg().ValueNames(key).size());
  EXPECT_EQ(0, reg().OpenKeys());
}

TEST_F(RegisterTcpIpPortTest, TheSpoolerIsRestartedOnlyAfterTheNinthValue) {
  EXPECT_TRUE(RegisterTcpIpPort("10.0.0.7", 9100, AddressKind::Ipv4Address));
  EXPECT_EQ(9, fake::CallCount("RegSetValueExA"));
  ASSERT_NE(-1, fake::FirstCall("ControlService"));
  EXPECT_LT(fake::LastCall("RegSetValueExA"), fake::FirstCall("OpenSCManagerA"));
  EXPECT_LT(fake::FirstCall("ControlService"), fake::FirstCall("StartServiceA"));
  EXPECT_EQ(os::SERVICE_RUNNING, fake::services().StateOf("Spooler"));
  EXPECT_EQ(0, reg().OpenKeys());
  EXPECT_EQ(0, fake::services().OpenHandles());
}

namespace {
class RegisterTcpIpPortFailingWrite : public RegisterTcpIpPortTest, public testing::WithParamInterface<int> {};
}  // namespace

TEST_P(RegisterTcpIpPortFailingWrite, StopsTheRestAndLeavesTheSpoolerAlone) {
  const int failing = GetParam();
  fake::FailNth("RegSetValueExA", failing);
  EXPECT_FALSE(RegisterTcpIpPort("192.168.0.1", 9100, AddressKind::Ipv4Address));
  // The values before the failing one stay; nothing after it is tried.
  const std::vector<std::string> before(kNineValues.begin(), kNineValues.begin() + failing - 1);
  EXPECT_EQ(before, reg().ValueNames(kPorts + "\\192.168.0.1"));
  EXPECT_EQ(failing, fake::CallCount("RegSetValueExA"));
  EXPECT_EQ(0, fake::CallCount("OpenSCManagerA"));
  EXPECT_EQ(0, reg().OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(EachOfTheNineValues, RegisterTcpIpPortFailingWrite, testing::Range(1, 10));

TEST_F(RegisterTcpIpPortTest, AKeyThatCannotBeCreatedLeavesTheRegistryAndTheSpoolerUntouched) {
  reg().DenyCreate(kPorts + "\\192.168.0.1");
  EXPECT_FALSE(RegisterTcpIpPort("192.168.0.1", 9100, AddressKind::Ipv4Address));
  EXPECT_TRUE(reg().ValueNames(kPorts + "\\192.168.0.1").empty());
  EXPECT_EQ(0, fake::CallCount("RegSetValueExA"));
  EXPECT_EQ(0, fake::CallCount("OpenSCManagerA"));
  EXPECT_EQ(0, reg().OpenKeys());
}

TEST_F(RegisterTcpIpPortTest, AFailedSpoolerRestartDoesNotFailTheRegistration) {
  fake::Fail("OpenSCManagerA");
  EXPECT_TRUE(RegisterTcpIpPort("192.168.0.1", 9100, AddressKind::Ipv4Address));
  EXPECT_EQ(kNineValues, reg().ValueNames(kPorts + "\\192.168.0.1"));
  EXPECT_EQ(0, reg().OpenKeys());
}
