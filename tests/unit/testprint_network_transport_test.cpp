#include <gtest/gtest.h>

#include <string>

#include "fake_os/fake_network.h"
#include "fake_os/fake_os.h"
#include "testprint/network_transport.h"

namespace {

std::string Bytes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(i * 7 + 3));
  return s;
}

const unsigned char* Data(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

void ExpectLibraryAndSocketsReleased() {
  EXPECT_EQ(0, fake::network().startups);
  EXPECT_EQ(0, fake::network().openSockets);
}

}  // namespace

TEST(SendToNetworkPrinter, APageSplitIntoManySendsArrivesWholeAndInOrder) {
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  printer.maxPerSend = 1000;
  const std::string page = Bytes(14083);
  EXPECT_TRUE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), static_cast<int>(page.size())));
  EXPECT_EQ(page, printer.received);
  EXPECT_EQ(1, printer.connections);
  // Each send starts at the first unsent byte and asks for all that is left.
  ASSERT_EQ(15u, fake::network().sendSizes.size());
  EXPECT_EQ(14083, fake::network().sendSizes.front());
  EXPECT_EQ(83, fake::network().sendSizes.back());
  ExpectLibraryAndSocketsReleased();
}

TEST(SendToNetworkPrinter, AnEmptyRunConnectsSendsOnceAndSucceeds) {
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  EXPECT_TRUE(SendToNetworkPrinter("127.0.0.1", 9100, nullptr, 0));
  EXPECT_EQ(1, printer.connections);
  EXPECT_EQ(std::vector<int>{0}, fake::network().sendSizes);
  ExpectLibraryAndSocketsReleased();
}

TEST(SendToNetworkPrinter, NobodyListeningFailsWithTheConnectionDiagnostic) {
  fake::network().Listen("127.0.0.1", 9101);
  const std::string page = Bytes(10);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 10));
  // "连接失败:10061" in GBK
  EXPECT_EQ("\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC:10061", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(fake::network().sendSizes.empty());
  ExpectLibraryAndSocketsReleased();
}

TEST(SendToNetworkPrinter, OtherFailuresEndWithFalseAndReleaseEverything) {
  const std::string page = Bytes(3000);
  fake::network().Listen("127.0.0.1", 9100).maxPerSend = 1000;

  fake::Fail("WSAStartup");
  EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 3000));
  EXPECT_EQ(0, fake::CallCount("socket"));

  fake::Reset();
  fake::Fail("socket");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 3000));
  EXPECT_EQ("Socket() error:10047", testing::internal::GetCapturedStdout());
  ExpectLibraryAndSocketsReleased();

  // A send that reports an error ends the loop at once.
  fake::Reset();
  fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
  printer.maxPerSend = 1000;
  fake::FailNth("send", 2);
  EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 3000));
  EXPECT_EQ(2, fake::CallCount("send"));
  EXPECT_EQ(page.substr(0, 1000), printer.received);
  ExpectLibraryAndSocketsReleased();
}

TEST(ResolveHostAddress, GivesTheFirstIpv4AddressOfTheName) {
  fake::network().names["printer.local"] = {{"127.0.0.2", "127.0.0.3"}};
  char out[256] = {};
  EXPECT_TRUE(ResolveHostAddress("printer.local", out));
  EXPECT_STREQ("127.0.0.2", out);
  EXPECT_EQ(0, fake::network().startups);
}

TEST(ResolveHostAddress, RefusesUnknownNamesIpv6AnswersAndNullArguments) {
  char out[256] = "untouched";
  EXPECT_FALSE(ResolveHostAddress("missing.local", out));
  fake::network().names["v6.local"] = {{"127.0.0.9"}, 23};
  EXPECT_FALSE(ResolveHostAddress("v6.local", out));
  fake::network().names["empty.local"] = {{}};
  EXPECT_FALSE(ResolveHostAddress("empty.local", out));
  EXPECT_STREQ("untouched", out);
  EXPECT_FALSE(ResolveHostAddress(nullptr, out));
  EXPECT_FALSE(ResolveHostAddress("printer.local", nullptr));
  fake::Reset();
  fake::Fail("WSAStartup");
  fake::network().names["printer.local"] = {{"127.0.0.2"}};
  EXPECT_FALSE(ResolveHostAddress("printer.local", out));
  EXPECT_EQ(0, fake::CallCount("gethostbyname"));
  EXPECT_EQ(0, fake::network().startups);
}

// A printer that stops taking bytes: a send that takes nothing, or one that
// would block (ended by the socket's send time-out), ends the send with false.
TEST(SendToNetworkPrinter, APrinterThatTakesNothingEndsTheSendWithFalse) {
  const std::string page = Bytes(3000);
  for (const bool stalls : {false, true}) {
    fake::Reset();
    fake::Listener& printer = fake::network().Listen("127.0.0.1", 9100);
    printer.maxPerSend = stalls ? 0 : -1;
    printer.stalls = stalls;
    EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 3000)) << stalls;
    EXPECT_EQ(1u, fake::network().sendSizes.size()) << stalls;
    EXPECT_FALSE(fake::network().hung) << stalls;
    EXPECT_EQ(std::vector<unsigned>{30000u}, fake::network().sendTimeouts) << stalls;
    ExpectLibraryAndSocketsReleased();
  }
}
