// "Connect Test" against the fake OS: a fake network stands in for the
// printer, so nothing here leaves the process.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "fake_os/fake_network.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_resources.h"
#include "support/archive_builder.h"
#include "support/case_name.h"
#include "support/recording_sink.h"
#include "support/sample_picture.h"
#include "support/staging_failures.h"
#include "support/scripted_form.h"
#include "testprint/connect_test_command.h"

namespace {

using sample_picture::kArchive;
using sample_picture::kPicture;
using sample_picture::kStagingFolder;

const char kError[] = "\xB4\xED\xCE\xF3";   // 错误
const char kNotice[] = "\xCC\xE1\xCA\xBE";  // 提示
// 测试数据已发送
const ShownMessage kSent{"\xB2\xE2\xCA\xD4\xCA\xFD\xBE\xDD\xD2\xD1\xB7\xA2\xCB\xCD", kNotice};
// 测试端口写入失败
const ShownMessage kWriteFailed{"\xB2\xE2\xCA\xD4\xB6\xCB\xBF\xDA\xD0\xB4\xC8\xEB\xCA\xA7\xB0\xDC", kError};
// 打印机IP格式错误
const ShownMessage kAddressLength{"\xB4\xF2\xD3\xA1\xBB\xFA\x49\x50\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3", kError};
// 打印机网址IP格式错误
const ShownMessage kAddressForm{
    "\xB4\xF2\xD3\xA1\xBB\xFA\xCD\xF8\xD6\xB7\x49\x50\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3", kError};
// 打印机网址IP解析失败
const ShownMessage kResolveFailed{
    "\xB4\xF2\xD3\xA1\xBB\xFA\xCD\xF8\xD6\xB7\x49\x50\xBD\xE2\xCE\xF6\xCA\xA7\xB0\xDC", kError};
// 打印机端口格式错误(0 < port < 65536)
const ShownMessage kPortWrong{
    "\xB4\xF2\xD3\xA1\xBB\xFA\xB6\xCB\xBF\xDA\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3"
    "(0 < port < 65536)",
    kError};
// 解压测试资源失败
const ShownMessage kExtractFailed{"\xBD\xE2\xD1\xB9\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
// 申请内存失败
const ShownMessage kAllocFailed{"\xC9\xEA\xC7\xEB\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC", kError};

// Runs the command, keeping its diagnostics off the test output.
std::vector<ShownMessage> PressConnectTest(const ScriptedForm& form) {
  RecordingSink sink;
  testing::internal::CaptureStdout();
  RunConnectTest(form, sink);
  testing::internal::GetCapturedStdout();
  return sink.shown;
}

ScriptedForm Form(const std::string& address, const std::string& port = "9100") {
  ScriptedForm form = ScriptedForm::NetworkDefaults();
  form.hostAddress = address;
  form.portText = port;
  return form;
}

// What every path leaves: no sample file, nothing open or allocated.
void ExpectCleanedUp() {
  EXPECT_FALSE(fake::files().Exists(kPicture));
  EXPECT_FALSE(fake::files().Exists(kArchive));
  EXPECT_EQ(0, fake::files().OpenStreams());
  EXPECT_EQ(0, fake::resources().Loaded());
  EXPECT_EQ(0, fake::network().startups);
  EXPECT_EQ(0, fake::network().openSockets);
  EXPECT_EQ(0, fake::LiveBlocks());
}

class ConnectTest : public sample_picture::WithSampleResource {};

}  // namespace

TEST_F(ConnectTest, APageSentInManyPiecesArrivesWholeAndIsReported) {
  // A fake printer only: the default address never leaves the process.
  fake::Listener& printer = fake::network().Listen("192.168.0.1", 9100);
  printer.maxPerSend = 997;
  ScriptedForm form = ScriptedForm::NetworkDefaults();  // 192.168.0.1 and 9100

  EXPECT_EQ(std::vector<ShownMessage>{kSent}, PressConnectTest(form));

  ASSERT_EQ(14083u, printer.received.size());
  EXPECT_EQ(std::string("\x1B\x40\x1B\x61\x01" "192.168.0.1\n", 17), printer.received.substr(0, 17));
  EXPECT_EQ(sample_picture::ReferencePage("192.168.0.1"), printer.received);
  EXPECT_EQ(1, printer.connections);
  EXPECT_GT(fake::network().sendSizes.size(), 1u);
  ExpectCleanedUp();
  EXPECT_FALSE(fake::files().Exists(kStagingFolder)) << "the working folder goes";
  // Only the address and the port are read from the form.
  for (const std::string& field : form.reads) EXPECT_TRUE(field == "hostAddress" || field == "portText") << field;
}

TEST_F(ConnectTest, ALocalNameIsSentToAndHeadedByItsFirstResolvedAddress) {
  fake::network().names["printer.local"] = {{"127.0.0.2", "127.0.0.9"}};
  fake::Listener& first = fake::network().Listen("127.0.0.2", 9100);
  fake::Listener& second = fake::network().Listen("127.0.0.9", 9100);

  EXPECT_EQ(std::vector<ShownMessage>{kSent}, PressConnectTest(Form("printer.local", " 9100")));

  ASSERT_EQ(14081u, first.received.size());
  EXPECT_EQ(std::string("\x1B\x40\x1B\x61\x01" "127.0.0.2\n", 15), first.received.substr(0, 15));
  EXPECT_EQ(sample_picture::ReferencePage("127.0.0.2"), first.received);
  EXPECT_EQ(0, second.connections);
  ExpectCleanedUp();
}

TEST_F(ConnectTest, NobodyListeningOrNoSocketLibraryShowsTheWriteFailure) {
  fake::network().Listen("127.0.0.1", 9101);
  EXPECT_EQ(std::vector<ShownMessage>{kWriteFailed}, PressConnectTest(Form("127.0.0.1")));
  EXPECT_EQ(1, fake::CallCount("connect"));
  ExpectCleanedUp();

  fake::Reset();
  fake::resources().Add("ZIPRES", 208, sample_picture::Archive());
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  fake::Fail("WSAStartup");
  EXPECT_EQ(std::vector<ShownMessage>{kWriteFailed}, PressConnectTest(Form("127.0.0.1")));
  EXPECT_EQ(0, printer.connections);
  ExpectCleanedUp();

  // A send that errors half-way is a failure, not a page sent.
  fake::Reset();
  fake::resources().Add("ZIPRES", 208, sample_picture::Archive());
  fake::network().Listen("127.0.0.1", 9100).maxPerSend = 4000;
  fake::FailNth("send", 2);
  EXPECT_EQ(std::vector<ShownMessage>{kWriteFailed}, PressConnectTest(Form("127.0.0.1")));
  ExpectCleanedUp();
}

namespace {
struct RejectedForm {
  std::string address, port;
  ShownMessage message;
  bool portRead;
};

class ConnectTestRejectsForm : public ConnectTest, public testing::WithParamInterface<RejectedForm> {};
}  // namespace

TEST_P(ConnectTestRejectsForm, WithItsOneMessageAndMakesNoFile) {
  const RejectedForm& c = GetParam();
  fake::network().names["printer.local"] = {{"127.0.0.2"}};
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  ScriptedForm form = Form(c.address, c.port);
  EXPECT_EQ(std::vector<ShownMessage>{c.message}, PressConnectTest(form));
  EXPECT_EQ(c.portRead, form.WasRead("portText"));
  EXPECT_FALSE(fake::files().Exists(kStagingFolder)) << "nothing is made before the checks pass";
  EXPECT_TRUE(fake::files().FoldersCreated().empty());
  EXPECT_EQ(0, printer.connections);
  EXPECT_EQ(0, fake::CallCount("socket"));
  ExpectCleanedUp();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectTestRejectsForm,
    testing::Values(RejectedForm{"", "9100", kAddressLength, false},
                    // 32 bytes: rejected by length before the pattern, and before the port.
                    RejectedForm{"printer.local.printer.local.1234", "0", kAddressLength, false},
                    RejectedForm{"1.2.3.4 ", "9100", kAddressForm, false},
                    RejectedForm{"01.2.3.4", "9100", kAddressForm, false},
                    RejectedForm{"PRINTER.LOCAL", "9100", kAddressForm, false},
                    RejectedForm{"unknown.local", "0", kResolveFailed, false},
                    RejectedForm{"127.0.0.1", "0", kPortWrong, true},
                    RejectedForm{"127.0.0.1", "65536", kPortWrong, true},
                    RejectedForm{"127.0.0.1", "abc", kPortWrong, true},
                    RejectedForm{"127.0.0.1", "", kPortWrong, true},
                    RejectedForm{"printer.local", "-1", kPortWrong, true}));


namespace {
class ConnectTestStagingFailure : public testing::TestWithParam<StagingFailure> {};
}  // namespace

TEST_P(ConnectTestStagingFailure, ShowsItsMessageAndSendsNothing) {
  const StagingFailure& c = GetParam();
  if (!c.resource.empty()) fake::resources().Add("ZIPRES", 208, c.resource);
  c.arrange();
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  EXPECT_EQ(std::vector<ShownMessage>{c.message}, PressConnectTest(Form("127.0.0.1")));
  EXPECT_EQ(0, printer.connections);
  ExpectCleanedUp();
}

INSTANTIATE_TEST_SUITE_P(EachStep, ConnectTestStagingFailure, testing::ValuesIn(StagingFailures()), NameByWhat());

TEST_F(ConnectTest, APictureThatCannotBeLoadedIsReportedAndNothingIsSent) {
  fake::Reset();
  fake::resources().Add("ZIPRES", 208, BuildArchive({{"sample.bmp", "BM not a picture"}}));
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  EXPECT_EQ(std::vector<ShownMessage>{kExtractFailed}, PressConnectTest(Form("127.0.0.1")));
  EXPECT_EQ(0, printer.connections);
  EXPECT_GT(fake::CallCount("DeleteFileA"), 0) << "the unpacked picture was there to delete";
  ExpectCleanedUp();
}

TEST_F(ConnectTest, NoMemoryForThePageIsReportedAndNothingIsSent) {
  fake::FailAllocationsOver(1000000);
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  EXPECT_EQ(std::vector<ShownMessage>{kAllocFailed}, PressConnectTest(Form("127.0.0.1")));
  EXPECT_EQ(0, printer.connections);
  ExpectCleanedUp();
}
