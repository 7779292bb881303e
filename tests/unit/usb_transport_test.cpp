#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_os.h"
#include "testprint/usb_transport.h"

namespace {

// The device path of the stem USB#VID_4b9e&PID_0001#abc, written out in full.
const char kPath[] = "\\\\?\\USB#VID_4B9E&PID_0001#ABC#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
const std::string kPage("\x1B\x40page\x00\xFF\x1D\x56\x00", 11);

bool Write(const std::string& stem, const std::string& page = kPage) {
  return WriteToUsbDevice(stem, reinterpret_cast<const os::BYTE*>(page.data()),
                          static_cast<os::DWORD>(page.size()));
}

}  // namespace

TEST(UsbDevicePath, UpperCasesTheStemAndTurnsBackslashesIntoHashes) {
  EXPECT_EQ(kPath, UsbDevicePath("USB#VID_4b9e&PID_0001#abc"));
  EXPECT_EQ(kPath, UsbDevicePath("USB\\VID_4B9E&PID_0001\\abc"));
  EXPECT_EQ(kPath, UsbDevicePath("usb\\vid_4b9e&pid_0001#Abc"));
}

namespace {
class WriteToUsbDeviceThat : public testing::TestWithParam<fake::WriteOutcome> {};
}  // namespace

TEST_P(WriteToUsbDeviceThat, TakesTheWholePageAndIsWaitedFor) {
  // Device names are matched without regard to case, as Wine's dosdevices links are.
  fake::Device& device =
      fake::devices().Add("\\\\?\\usb#vid_4b9e&pid_0001#abc#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", GetParam());
  EXPECT_TRUE(Write("USB#VID_4b9e&PID_0001#abc"));
  EXPECT_EQ((std::vector<std::string>{kPath}), fake::devices().opened);
  EXPECT_EQ(kPage, device.received);
  EXPECT_EQ(1, device.writes) << "one write, no chunking";
  EXPECT_EQ(0xC0000000u, device.access);
  EXPECT_EQ(3u, device.shareMode);
  EXPECT_EQ(3u, device.disposition);
  EXPECT_EQ(0x40000000u, device.flags);
  EXPECT_TRUE(device.overlappedZeroed);
  EXPECT_FALSE(device.byteCountRequested);
  EXPECT_EQ(1u, device.waits.size()) << "the wait on the device handle";
  EXPECT_EQ(0, device.lostOnClose);
  EXPECT_EQ(0, fake::devices().OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(PendingOrAtOnce, WriteToUsbDeviceThat,
                         testing::Values(fake::WriteOutcome::Pending, fake::WriteOutcome::AtOnce));

TEST(WriteToUsbDevice, AnEmptyStemOrAnAbsentDeviceGivesFalse) {
  EXPECT_FALSE(Write(""));
  EXPECT_EQ(0, fake::CallCount("CreateFileA"));

  fake::devices().Add("\\\\?\\USB#VID_4B9E&PID_0002#XYZ#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");
  EXPECT_FALSE(Write("USB#VID_4B9E&PID_0001#abc"));
  EXPECT_EQ(1, fake::CallCount("CreateFileA"));
  EXPECT_EQ(0, fake::CallCount("WriteFile"));
  EXPECT_TRUE(fake::devices().Find("\\\\?\\USB#VID_4B9E&PID_0002#XYZ#{A5DCBF10-6530-11D2-901F-00C04FB951ED}")
                  ->received.empty());
  EXPECT_EQ(0, fake::devices().OpenHandles());
}

TEST(WriteToUsbDevice, AWriteThatFallsShortGivesFalse) {
  fake::devices().Add(kPath, fake::WriteOutcome::FallsShort);
  EXPECT_FALSE(Write("USB#VID_4B9E&PID_0001#abc"));
  EXPECT_EQ(0, fake::devices().OpenHandles());
}

TEST(WriteToUsbDevice, AWriteThatFailsAtOnceIsNotWaitedForAndGivesFalse) {
  fake::Device& device = fake::devices().Add(kPath, fake::WriteOutcome::FailsAtOnce);
  EXPECT_FALSE(Write("USB#VID_4B9E&PID_0001#abc"));
  EXPECT_TRUE(device.waits.empty());
  EXPECT_FALSE(device.hung);
  EXPECT_EQ(0, fake::devices().OpenHandles());
}

TEST(WriteToUsbDevice, AWriteThatNeverCompletesIsCancelledAfterABoundedWait) {
  fake::Device& device = fake::devices().Add(kPath, fake::WriteOutcome::NeverCompletes);
  EXPECT_FALSE(Write("USB#VID_4B9E&PID_0001#abc"));
  EXPECT_FALSE(device.hung);
  ASSERT_FALSE(device.waits.empty());
  EXPECT_EQ(30000u, device.waits.front());
  EXPECT_EQ(1, device.cancelled);
  EXPECT_EQ(0, device.lostOnClose) << "the cancellation is seen through before the handle goes";
  EXPECT_TRUE(device.received.empty());
  EXPECT_EQ(0, fake::devices().OpenHandles());
  // The cancellation is waited for before the handle is closed.
  const auto& calls = fake::Calls();
  const auto cancel = std::find(calls.begin(), calls.end(), "CancelIo");
  const auto close = std::find(calls.begin(), calls.end(), "CloseHandle");
  ASSERT_NE(calls.end(), cancel);
  EXPECT_NE(close, std::find(cancel, close, "GetOverlappedResult"));
}

TEST(WriteToUsbDevice, ACancellationThatDoesNotFinishIsWaitedForOnlyABoundedTime) {
  fake::Device& device = fake::devices().Add(kPath, fake::WriteOutcome::IgnoresCancel);
  EXPECT_FALSE(Write("USB#VID_4B9E&PID_0001#abc"));
  EXPECT_FALSE(device.hung);
  EXPECT_EQ((std::vector<std::uint32_t>{30000u, 5000u}), device.waits);
  EXPECT_EQ(0, fake::devices().OpenHandles());
  // The system finishes the write later: its record and page are still there.
  fake::devices().FinishAbandonedWrites();
  EXPECT_EQ(kPage, device.received);
}
