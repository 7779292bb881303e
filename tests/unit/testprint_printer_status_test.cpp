// The printer's real-time status: the words for each answer, and the
// questions over TCP and USB, each answer waited for a bounded time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_network.h"
#include "fake_os/fake_os.h"
#include "testprint/printer_status.h"

namespace {

PrinterStatus Answered(std::vector<int> bytes) {
  PrinterStatus s;
  s.connected = true;
  for (int b : bytes) s.bytes[s.answers++] = static_cast<os::BYTE>(b);
  return s;
}

const char kDevice[] = "\\\\?\\USB#VID_4B9E&PID_0001#ABC#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
const char kStem[] = "USB#VID_4B9E&PID_0001#abc";
const std::string kAllThree("\x10\x04\x01\x10\x04\x02\x10\x04\x04", 9);

}  // namespace

// Bits as the ESC/POS real-time status request defines them: n = 1 bit 3
// off-line, bit 5 waiting for recovery; n = 2 bit 2 cover open, bit 5 paper
// end stop, bit 6 error; n = 4 bits 2-3 near end, bits 5-6 paper end.
TEST(DescribePrinterStatus, NamesWhatStopsThePrinter) {
  struct Case {
    PrinterStatus status;
    const char* words;
  };
  const std::vector<Case> cases = {
      {PrinterStatus{}, "no connection"},
      {Answered({}), "no answer"},
      {Answered({0x12, 0x12, 0x12}), "online"},
      {Answered({0x1A, 0x16, 0x12}), "offline, cover open"},
      {Answered({0x1A, 0x32, 0x7E}), "offline, paper end"},
      {Answered({0x12, 0x12, 0x72}), "online, paper end"},  // the sensor alone says so
      {Answered({0x12, 0x12, 0x1E}), "online, paper near end"},
      {Answered({0x12, 0x12, 0x16}), "online"},  // one near-end bit is no near end
      {Answered({0x3A, 0x52, 0x12}), "offline, waiting for recovery, error"},
      {Answered({0x12}), "online, no answer to DLE EOT 2"},
      {Answered({0x1A, 0x16}), "offline, cover open, no answer to DLE EOT 4"},
      // An echo or a page's first byte is no status answer.
      {Answered({0x10}), "no status answer (0x10 to DLE EOT 1)"},
      {Answered({0x12, 0x1B, 0x12}), "no status answer (0x1B to DLE EOT 2)"},
      {Answered({0x12, 0x12, 0x92}), "no status answer (0x92 to DLE EOT 4)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.words, DescribePrinterStatus(c.status)) << c.words;
}

TEST(ReadNetworkPrinterStatus, AsksEachRequestOnItsOwnConnectionWithABoundedReceive) {
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  printer.statusAnswers = {{1, 0x1A}, {2, 0x16}, {4, 0x12}};
  const PrinterStatus status = ReadNetworkPrinterStatus("127.0.0.1", 9100);
  EXPECT_EQ("offline, cover open", DescribePrinterStatus(status));
  EXPECT_EQ(kAllThree, printer.received);
  EXPECT_EQ(1, printer.connections);
  EXPECT_EQ((std::vector<unsigned>{2000, 2000, 2000}), fake::network().receiveTimeouts);
  EXPECT_FALSE(fake::network().hung);
  EXPECT_EQ(0, fake::network().startups);
  EXPECT_EQ(0, fake::network().openSockets);
}

TEST(ReadNetworkPrinterStatus, SilenceEndsTheQuestionsAndNobodyListeningIsNoConnection) {
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  printer.statusAnswers = {{1, 0x12}};  // answers the first request only
  EXPECT_EQ("online, no answer to DLE EOT 2", DescribePrinterStatus(ReadNetworkPrinterStatus("127.0.0.1", 9100)));
  EXPECT_EQ(std::string("\x10\x04\x01\x10\x04\x02", 6), printer.received);
  EXPECT_EQ(0, fake::network().openSockets);

  // Said in the status, not as a diagnostic beside a page that went out.
  testing::internal::CaptureStdout();
  EXPECT_EQ("no connection (socket error 10061)", DescribePrinterStatus(ReadNetworkPrinterStatus("127.0.0.1", 9101)));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());

  // Without its bound a silent printer would hold the program for ever.
  fake::Reset();
  fake::network().Listen("127.0.0.1", 9100);
  fake::Fail("setsockopt");
  testing::internal::CaptureStdout();
  ReadNetworkPrinterStatus("127.0.0.1", 9100);
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(fake::network().hung);
  EXPECT_EQ(0, fake::CallCount("recv"));
}

TEST(ReadUsbPrinterStatus, ReadsEachAnswerFromTheDeviceWithABoundedWait) {
  fake::Device& device = fake::devices().Add(kDevice, fake::WriteOutcome::Pending);
  device.statusAnswers = {{1, 0x1A}, {2, 0x32}, {4, 0x7E}};
  EXPECT_EQ("offline, paper end", DescribePrinterStatus(ReadUsbPrinterStatus(kStem)));
  EXPECT_EQ(kAllThree, device.received);
  EXPECT_EQ(3, device.reads);
  EXPECT_EQ(3, device.writesToEnd) << "a file standing in for the device keeps its page";
  for (std::uint32_t wait : device.waits) EXPECT_EQ(2000u, wait);
  EXPECT_FALSE(device.hung);
  EXPECT_EQ(0, fake::devices().OpenHandles());
}

TEST(ReadUsbPrinterStatus, ASilentDeviceHasItsReadCancelledAndIsNoAnswer) {
  fake::Device& device = fake::devices().Add(kDevice, fake::WriteOutcome::AtOnce);
  EXPECT_EQ("no answer", DescribePrinterStatus(ReadUsbPrinterStatus(kStem)));
  EXPECT_EQ(1, device.reads);
  EXPECT_EQ(1, device.readsCancelled);
  EXPECT_EQ(0, device.lostOnClose) << "the read was over before its record went";
  EXPECT_FALSE(device.hung);
  EXPECT_EQ(0, fake::devices().OpenHandles());

  EXPECT_EQ("no connection", DescribePrinterStatus(ReadUsbPrinterStatus("USB#VID_4B9E&PID_0002#none")));
  EXPECT_EQ("no connection", DescribePrinterStatus(ReadUsbPrinterStatus("")));
}

TEST(ReadPrinterStatus, WhatIsNoStatusAnswerEndsTheQuestions) {
  // A file or a device that echoes what it is sent answers with a request's own first byte.
  fake::Device& device = fake::devices().Add(kDevice, fake::WriteOutcome::AtOnce);
  device.statusAnswers = {{1, 0x10}, {2, 0x10}, {4, 0x10}};
  EXPECT_EQ("no status answer (0x10 to DLE EOT 1)", DescribePrinterStatus(ReadUsbPrinterStatus(kStem)));
  EXPECT_EQ(1, device.reads);

  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  printer.statusAnswers = {{1, 0x12}, {2, 0x1B}, {4, 0x12}};
  EXPECT_EQ("no status answer (0x1B to DLE EOT 2)", DescribePrinterStatus(ReadNetworkPrinterStatus("127.0.0.1", 9100)));
  EXPECT_EQ(std::string("\x10\x04\x01\x10\x04\x02", 6), printer.received);
}
