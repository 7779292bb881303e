// "Find USB Port" against the fake registry and devices.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_devices.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_registry.h"
#include "fake_os/fake_resources.h"
#include "support/archive_builder.h"
#include "support/case_name.h"
#include "support/fake_port_list.h"
#include "support/recording_sink.h"
#include "support/sample_picture.h"
#include "support/staging_failures.h"
#include "support/working_folder.h"
#include "testprint/find_usb_port_command.h"

namespace {

using sample_picture::kArchive;
using sample_picture::kPicture;
using sample_picture::kStagingFolder;

const char kError[] = "\xB4\xED\xCE\xF3";  // 错误
// 测试端口写入失败
const ShownMessage kWriteFailed{"\xB2\xE2\xCA\xD4\xB6\xCB\xBF\xDA\xD0\xB4\xC8\xEB\xCA\xA7\xB0\xDC", kError};
// 解压测试资源失败
const ShownMessage kExtractFailed{"\xBD\xE2\xD1\xB9\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
// 申请内存失败
const ShownMessage kAllocFailed{"\xC9\xEA\xC7\xEB\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC", kError};

const std::string kClassKey =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// A USB printer interface for `instance` (e.g. "USB#VID_4B9E&PID_0001#SER001")
// with the given "Port Number".
void AddInterface(const std::string& instance, std::uint32_t port) {
  fake::registry().SetDword(
      kClassKey + "\\##?#" + instance + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters",
      "Port Number", port);
}

// The device that the transport opens for `instance`.
fake::Device& AddDevice(const std::string& instance, fake::WriteOutcome outcome = fake::WriteOutcome::Pending) {
  return fake::devices().Add("\\\\?\\" + instance + "#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", outcome);
}

std::vector<ShownMessage> PressFindUsbPort(FakePortList& list) {
  RecordingSink sink;
  RunFindUsbPort(list, sink);
  return sink.shown;
}

FakePortList List(std::initializer_list<const char*> names, int selection) {
  FakePortList list;
  for (const char* n : names) list.AddString(n);
  list.SetCurSel(selection);
  return list;
}

void ExpectCleanedUp() {
  EXPECT_FALSE(fake::files().Exists(kPicture));
  EXPECT_FALSE(fake::files().Exists(kArchive));
  EXPECT_FALSE(fake::files().Exists(kStagingFolder)) << "the working folder goes";
  EXPECT_EQ(0, fake::files().OpenStreams());
  EXPECT_EQ(0, fake::resources().Loaded());
  EXPECT_EQ(0, fake::registry().OpenKeys());
  EXPECT_EQ(0, fake::devices().OpenHandles());
  EXPECT_EQ(0, fake::LiveBlocks());
}

class FindUsbPort : public sample_picture::WithSampleResource {};

}  // namespace

TEST_F(FindUsbPort, EveryPrinterGetsItsOwnPageAndTheFirstIsSelected) {
  AddInterface("USB#VID_4B9E&PID_0001#SER001", 1);
  AddInterface("USB#VID_4B9E&PID_0001#SER002", 2);
  fake::Device& first = AddDevice("USB#VID_4B9E&PID_0001#SER001");
  fake::Device& second = AddDevice("USB#VID_4B9E&PID_0001#SER002", fake::WriteOutcome::AtOnce);
  FakePortList list = List({"USB002", "USB001"}, 1);

  EXPECT_TRUE(PressFindUsbPort(list).empty());

  ASSERT_EQ(14078u, first.received.size());
  ASSERT_EQ(14078u, second.received.size());
  EXPECT_EQ(std::string("\x1B\x40\x1B\x61\x01" "USB001\n", 12), first.received.substr(0, 12));
  EXPECT_EQ(std::string("\x1B\x40\x1B\x61\x01" "USB002\n", 12), second.received.substr(0, 12));
  EXPECT_EQ(sample_picture::ReferencePage("USB001"), first.received);
  EXPECT_EQ(sample_picture::ReferencePage("USB002"), second.received);
  EXPECT_EQ("USB001", list.SelectedText()) << "the first success, and only it, selects";
  ExpectCleanedUp();
}

TEST_F(FindUsbPort, PortsWithoutADeviceAreSkippedAndTheFirstThatTookItIsSelected) {
  AddInterface("USB#VID_4B9E&PID_0001#GONE", 1);  // no device behind it
  AddInterface("USB#VID_4B9E&PID_0001#SER003", 3);
  AddInterface("USB#VID_4B9E&PID_0001#SER004", 4);
  fake::Device& third = AddDevice("USB#VID_4B9E&PID_0001#SER003");
  fake::Device& fourth = AddDevice("USB#VID_4B9E&PID_0001#SER004");
  // USB002 has no interface at all; the empty entry is passed over.
  FakePortList list = List({"", "USB001", "USB002", "USB003", "USB004"}, 4);

  EXPECT_TRUE(PressFindUsbPort(list).empty());

  EXPECT_EQ(14078u, third.received.size());
  EXPECT_EQ("USB003", third.received.substr(5, 6));
  EXPECT_EQ("USB004", fourth.received.substr(5, 6));
  EXPECT_EQ("USB003", list.SelectedText());
  EXPECT_EQ(3u, fake::devices().opened.size()) << "USB001, USB003 and USB004 were tried";
  ExpectCleanedUp();
}

TEST_F(FindUsbPort, NoPortTakingThePageShowsTheWriteFailureAndKeepsTheSelection) {
  AddInterface("USB#VID_4B9E&PID_0001#GONE", 1);
  FakePortList list = List({"USB001", "USB002", "LPT1:"}, 2);  // sorted: LPT1:, USB001, USB002
  EXPECT_EQ(std::vector<ShownMessage>{kWriteFailed}, PressFindUsbPort(list));
  EXPECT_EQ("USB002", list.SelectedText());
  ExpectCleanedUp();
}

TEST_F(FindUsbPort, AnEmptyListStillLoadsThePictureBeforeTheMessage) {
  FakePortList list;
  EXPECT_EQ(std::vector<ShownMessage>{kWriteFailed}, PressFindUsbPort(list));
  EXPECT_EQ(0, fake::CallCount("RegOpenKeyExA"));
  ExpectCleanedUp();

  // A picture that cannot be loaded ends the command, reported, before the
  // list is looked at.
  fake::Reset();
  fake::resources().Add("ZIPRES", 208, BuildArchive({{"sample.bmp", "BM not a picture"}}));
  AddInterface("USB#VID_4B9E&PID_0001#SER001", 1);
  fake::Device& device = AddDevice("USB#VID_4B9E&PID_0001#SER001");
  FakePortList one = List({"USB001"}, 0);
  EXPECT_EQ(std::vector<ShownMessage>{kExtractFailed}, PressFindUsbPort(one));
  EXPECT_TRUE(device.received.empty());
  EXPECT_EQ(std::vector<ShownMessage>{kExtractFailed}, PressFindUsbPort(list));
  ExpectCleanedUp();
}

TEST_F(FindUsbPort, NoMemoryForThePageIsReportedAndNothingIsWritten) {
  fake::FailAllocationsOver(1000000);
  AddInterface("USB#VID_4B9E&PID_0001#SER001", 1);
  fake::Device& device = AddDevice("USB#VID_4B9E&PID_0001#SER001");
  FakePortList list = List({"USB001"}, -1);
  EXPECT_EQ(std::vector<ShownMessage>{kAllocFailed}, PressFindUsbPort(list));
  EXPECT_TRUE(device.received.empty());
  EXPECT_EQ(-1, list.selection);
  ExpectCleanedUp();
}

namespace {
class FindUsbPortStagingFailure : public testing::TestWithParam<StagingFailure> {};
}  // namespace

TEST_P(FindUsbPortStagingFailure, ShowsItsMessageAndWritesNothing) {
  const StagingFailure& c = GetParam();
  if (!c.resource.empty()) fake::resources().Add("ZIPRES", 208, c.resource);
  c.arrange();
  AddInterface("USB#VID_4B9E&PID_0001#SER001", 1);
  AddDevice("USB#VID_4B9E&PID_0001#SER001");
  FakePortList list = List({"USB001"}, -1);
  EXPECT_EQ(std::vector<ShownMessage>{c.message}, PressFindUsbPort(list));
  EXPECT_TRUE(fake::devices().opened.empty());
  EXPECT_EQ(-1, list.selection);
  EXPECT_FALSE(fake::files().Exists(kPicture));
  EXPECT_FALSE(fake::files().Exists(kArchive));
  EXPECT_EQ(0, fake::resources().Loaded());
  EXPECT_EQ(0, fake::LiveBlocks());
}

INSTANTIATE_TEST_SUITE_P(EachStep, FindUsbPortStagingFailure, testing::ValuesIn(StagingFailures()), NameByWhat());

TEST_F(FindUsbPort, LeftoversOfAnEarlierRunAreRemoved) {
  AddEarlierRunsFolder();
  fake::files().AddFile(kPicture, "old picture");
  fake::files().AddFile(kArchive, "old archive");
  AddInterface("USB#VID_4B9E&PID_0001#SER001", 1);
  fake::Device& device = AddDevice("USB#VID_4B9E&PID_0001#SER001");
  FakePortList list = List({"USB001"}, 0);
  EXPECT_TRUE(PressFindUsbPort(list).empty());
  EXPECT_EQ(14078u, device.received.size()) << "the fresh picture replaced the old one";
  ExpectCleanedUp();
}
