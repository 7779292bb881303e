#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_network.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_system_info.h"
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
  // The connection came up through the bounded wait, and the sends ran in
  // blocking mode again, as their SO_SNDTIMEO needs.
  EXPECT_EQ(std::vector<long>{5000}, fake::network().selectTimeoutsMs);
  EXPECT_EQ(0, fake::network().nonBlockingSends);
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
  // "连接失败:10061 (WSAECONNREFUSED)" in GBK, a line of its own
  EXPECT_EQ("\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC:10061 (WSAECONNREFUSED)\n", testing::internal::GetCapturedStdout());
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
  EXPECT_EQ("Socket() error:10047 (WSAEAFNOSUPPORT)\n", testing::internal::GetCapturedStdout());
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

// However the connection ends, it ends within the bound, on this thread, with
// the socket error named on a line of its own: a peer that never answers (the
// bounded wait runs out), one that refuses, a network without a route (the
// connect itself fails), and the mode switch or the wait failing.
TEST(SendToNetworkPrinter, AConnectionThatDoesNotComeUpFailsWithinTheBoundAndNamesItsError) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string diagnostic;
    std::vector<long> waits;
  };
  const char gbkConnectFailed[] = "\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC:";  // "连接失败:"
  const std::vector<Case> cases = {
      {"silent", [] { fake::network().silent.insert("127.0.0.1:9100"); }, "10060 (WSAETIMEDOUT)", {5000}},
      {"refused", [] {}, "10061 (WSAECONNREFUSED)", {5000}},
      {"unreachable", [] {
         fake::network().connectError = 10051;
         fake::network().failsAtOnce = true;
       }, "10051 (WSAENETUNREACH)", {}},
      {"host unreachable", [] { fake::network().connectError = 10065; }, "10065 (WSAEHOSTUNREACH)", {5000}},
      {"no mode switch", [] { fake::Fail("ioctlsocket"); }, "10022 (WSAEINVAL)", {}},
      {"no blocking again", [] {
         fake::network().Listen("127.0.0.1", 9100);
         fake::FailNth("ioctlsocket", 2);
       }, "10022 (WSAEINVAL)", {5000}},
      {"wait fails", [] { fake::Fail("select"); }, "10050 (WSAENETDOWN)", {5000}},
      {"unknown error", [] { fake::network().connectError = 12345; }, "12345", {5000}},
  };
  const std::string page = Bytes(100);
  for (const Case& c : cases) {
    fake::Reset();
    c.arrange();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, Data(page), 100)) << c.what;
    EXPECT_EQ(gbkConnectFailed + c.diagnostic + "\n", testing::internal::GetCapturedStdout()) << c.what;
    EXPECT_EQ(c.waits, fake::network().selectTimeoutsMs) << c.what;
    EXPECT_FALSE(fake::network().hung) << c.what;
    EXPECT_TRUE(fake::network().sendSizes.empty()) << c.what;
    ExpectLibraryAndSocketsReleased();
  }
}

TEST(SendToNetworkPrinter, TheConnectionDiagnosticIsInTheUsersLanguage) {
  fake::systemInfo().uiLanguage = 0x0409;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SendToNetworkPrinter("127.0.0.1", 9100, nullptr, 0));
  EXPECT_EQ("Connection failed:10061 (WSAECONNREFUSED)\n", testing::internal::GetCapturedStdout());
}
