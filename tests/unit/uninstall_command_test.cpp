#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "fake_os/fake_services.h"
#include "fake_os/fake_spooler.h"
#include "fake_os/fake_system_info.h"
#include "os/services.h"
#include "support/case_name.h"
#include "support/recording_sink.h"
#include "support/trust_fixture.h"
#include "uninstall/uninstall_command.h"

namespace {

// "驱动卸载完成" under "提示"; "驱动卸载失败，请重启计算机后重试！" under "错误".
const ShownMessage kDone{"\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xCD\xEA\xB3\xC9", "\xCC\xE1\xCA\xBE"};
const ShownMessage kFailed{
    "\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xCA\xA7\xB0\xDC\xA3\xAC\xC7\xEB\xD6\xD8\xC6\xF4\xBC\xC6\xCB\xE3\xBB\xFA\xBA"
    "\xF3\xD6\xD8\xCA\xD4\xA3\xA1",
    "\xB4\xED\xCE\xF3"};

const char kX64[] = "C:\\Windows\\system32\\spool\\drivers\\x64\\3\\";

// Also notes whether redirection was still off while the message was up.
class Sink : public RecordingSink {
 public:
  void Show(const std::string& text, const char* caption) override {
    RecordingSink::Show(text, caption);
    redirectionOnAtMessage = fake::systemInfo().redirectionOn;
  }
  bool redirectionOnAtMessage = true;
};

fake::Spooler& spooler() { return fake::spooler(); }

std::string Listing(bool with58, bool with80) {
  std::string text = "Published name :  oem0.inf\nDriver package provider :  Microsoft\n\n";
  if (with58) text += "Published Name:  oem5.inf\nOriginal Name:  lumatrek.inf\nProvider Name:  Lumatrek Pos Printer\n\n";
  if (with80) text += "Published Name:  oem6.inf\nOriginal Name:  lumatrek80.inf\nProvider Name:  Lumatrek Pos Printer\n";
  return text;
}

// A machine with a running spooler, an inbox driver and printer, and the
// printer UI and pnputil of the system; the product as far as asked.
void Arrange(bool with58, bool with80) {
  fake::services().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  spooler().AnswerRemovalCommands();
  spooler().AddDriver("Microsoft XPS Document Writer v4");
  spooler().AddPrinter("Microsoft XPS Document Writer", "Microsoft XPS Document Writer v4", 1);
  if (with58) {
    spooler().AddDriver("lumatrek");
    spooler().AddPrinter("lumatrek58-usb", "lumatrek", 2);
    for (const char* e : {".dll", ".gpd", ".ini"}) fake::files().AddFile(std::string(kX64) + "lumatrek" + e, "x");
  }
  if (with80) {
    spooler().AddDriver("lumatrek80");
    spooler().AddPrinter("lumatrek80-wifi", "lumatrek80");
    for (const char* e : {".BUD", ".dll", ".gpd", ".ini"}) {
      fake::files().AddFile(std::string(kX64) + "lumatrek80" + e, "x");
    }
  }
  fake::processes().Respond("pnputil -e", 0, Listing(with58, with80));
}

// The command lines run.
std::vector<std::string> Commands() {
  std::vector<std::string> lines;
  for (const fake::Launch& l : fake::processes().launches) lines.push_back(l.commandLine);
  return lines;
}

bool ModelFilesLeft() {
  for (const std::string& name : fake::files().List("C:\\Windows\\system32\\spool\\drivers\\x64\\3")) {
    if (name.rfind("lumatrek", 0) == 0) return true;
  }
  return false;
}

}  // namespace

TEST(UninstallCommand, WithNothingOfTheProductInstalledReportsSuccess) {
  Arrange(false, false);
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kDone}, sink.shown);
  EXPECT_EQ(std::vector<std::string>{"pnputil -e"}, Commands());
  EXPECT_EQ(1u, spooler().printers.size());
  EXPECT_EQ(1u, spooler().drivers.size());
  EXPECT_EQ((std::vector<bool>{false, true}), fake::systemInfo().switchedTo);
}

TEST(UninstallCommand, RemovesBothModelsInOrderUnderOneSwitchOffOfRedirection) {
  Arrange(true, true);
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kDone}, sink.shown);
  const std::vector<std::string> expected = {
      "rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek58-usb\"",
      "rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek80-wifi\"",
      "pnputil -e",
      "pnputil -f -d oem5.inf",
      "pnputil -f -d oem6.inf",
  };
  EXPECT_EQ(expected, Commands());
  EXPECT_EQ((std::vector<std::string>{"lumatrek", "lumatrek80"}), spooler().deletedDrivers);
  EXPECT_EQ(1u, spooler().printers.size());
  EXPECT_FALSE(ModelFilesLeft());

  // Redirection goes off before anything else and back on only after the message.
  ASSERT_FALSE(fake::Calls().empty());
  EXPECT_EQ("IsWow64Process", fake::Calls()[0]);
  EXPECT_EQ("Wow64EnableWow64FsRedirection", fake::Calls()[1]);
  EXPECT_FALSE(sink.redirectionOnAtMessage);
  EXPECT_TRUE(fake::systemInfo().redirectionOn);
  EXPECT_EQ((std::vector<bool>{false, true}), fake::systemInfo().switchedTo);

  // The spooler restarts before the first driver, after each driver, and once
  // more before the packages are listed.
  std::vector<std::string> order;
  for (const std::string& call : fake::Calls()) {
    if (call == "StartServiceA" || call == "DeletePrinterDriverA" || call == "CreatePipe") order.push_back(call);
  }
  const std::vector<std::string> expectedOrder = {"StartServiceA", "DeletePrinterDriverA", "StartServiceA",
                                                  "DeletePrinterDriverA", "StartServiceA", "StartServiceA",
                                                  "CreatePipe"};
  EXPECT_EQ(expectedOrder, order);
  EXPECT_EQ(0, spooler().OpenHandles());
  EXPECT_EQ(0, fake::LiveBlocks());
  EXPECT_EQ(0, fake::processes().OpenPipes());
}

TEST(UninstallCommand, WithOnlyThe80mmModelRemovesItAndItsOnePackage) {
  Arrange(false, true);
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kDone}, sink.shown);
  EXPECT_EQ(std::vector<std::string>{"lumatrek80"}, spooler().deletedDrivers);
  const std::vector<std::string> expected = {
      "rundll32 printui.dll,PrintUIEntry /dl /n \"lumatrek80-wifi\"",
      "pnputil -e",
      "pnputil -f -d oem6.inf",
  };
  EXPECT_EQ(expected, Commands());
  EXPECT_FALSE(ModelFilesLeft());
}

TEST(UninstallCommand, AFailedPrinterRemovalStopsEverythingAfterIt) {
  Arrange(true, true);
  fake::processes().Respond("/dl /n \"lumatrek58-usb\"", 5);
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kFailed}, sink.shown);
  EXPECT_TRUE(spooler().HasDriver("lumatrek"));
  EXPECT_TRUE(spooler().HasDriver("lumatrek80"));
  EXPECT_NE(nullptr, spooler().FindPrinter("lumatrek80-wifi"));
  EXPECT_EQ(0, fake::CallCount("CreatePipe"));
  EXPECT_TRUE(ModelFilesLeft());
  EXPECT_TRUE(fake::systemInfo().redirectionOn);
  EXPECT_EQ(0, spooler().OpenHandles());
}

namespace {
struct LaterFailure {
  const char* what;
  void (*arrange)();
  std::size_t commands;  // command lines started (or tried), up to the failure
};

class UninstallLaterFailure : public testing::TestWithParam<LaterFailure> {};

// Runs the uninstall on a machine with everything installed and `arrange`d to fail.
std::vector<ShownMessage> UninstallFailingAt(void (*arrange)()) {
  Arrange(true, true);
  arrange();
  Sink sink;
  RunUninstallCommand(sink);
  return sink.shown;
}

void LockModelFile() { fake::files().Lock(std::string(kX64) + "lumatrek80.gpd"); }
}  // namespace

TEST_P(UninstallLaterFailure, GivesTheFailureMessageOnce) {
  EXPECT_EQ(std::vector<ShownMessage>{kFailed}, UninstallFailingAt(GetParam().arrange));
  EXPECT_EQ(GetParam().commands, fake::processes().launches.size());
  EXPECT_TRUE(fake::systemInfo().redirectionOn);
  EXPECT_EQ(0, fake::LiveBlocks());
  EXPECT_EQ(0, fake::processes().OpenPipes());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, UninstallLaterFailure,
    testing::Values(LaterFailure{"driver list unreadable", [] { fake::Fail("EnumPrinterDriversA"); }, 0},
                    LaterFailure{"package delete fails",
                                 [] { fake::processes().Respond("pnputil -f -d oem5.inf", 1); }, 4},
                    LaterFailure{"listing cannot start", [] { fake::processes().CannotStart("pnputil.exe"); }, 3},
                    LaterFailure{"listing exits nonzero", [] { fake::processes().Respond("pnputil -e", 1); }, 3},
                    LaterFailure{"model file locked", LockModelFile, 5}),
    NameByWhat());

TEST(UninstallCommand, ALockedModelFileFailsOnlyAfterPrintersDriversAndPackagesWent) {
  EXPECT_EQ(std::vector<ShownMessage>{kFailed}, UninstallFailingAt(LockModelFile));
  EXPECT_EQ((std::vector<std::string>{"lumatrek", "lumatrek80"}), spooler().deletedDrivers);
  EXPECT_TRUE(fake::files().Exists(std::string(kX64) + "lumatrek80.gpd"));
}

TEST(UninstallCommand, WhenRedirectionCannotBeSwitchedOffRemovesNothingAndSwitchesItOnAgain) {
  Arrange(true, true);
  fake::FailNth("Wow64EnableWow64FsRedirection", 1);
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kFailed}, sink.shown);
  EXPECT_EQ(0, fake::CallCount("EnumServicesStatusA"));
  EXPECT_EQ(0, fake::CallCount("EnumPrinterDriversA"));
  EXPECT_TRUE(fake::processes().launches.empty());
  EXPECT_EQ(2, fake::CallCount("Wow64EnableWow64FsRedirection"));
  EXPECT_EQ(std::vector<bool>{true}, fake::systemInfo().switchedTo);
}

TEST(UninstallCommand, OnA32BitSystemLeavesRedirectionAloneAndSucceeds) {
  Arrange(true, false);
  fake::systemInfo().Make32BitX86();
  const std::string x86 = "C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\";
  fake::files().AddFile(x86 + "lumatrek.BUD", "x");
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{kDone}, sink.shown);
  EXPECT_EQ(0, fake::CallCount("Wow64EnableWow64FsRedirection"));
  EXPECT_FALSE(fake::files().Exists(x86 + "lumatrek.BUD"));
  EXPECT_EQ(std::vector<std::string>{"lumatrek"}, spooler().deletedDrivers);
}

namespace {
struct UntrustCase {
  const char* what;
  std::function<void()> arrange;
  std::string trustedPublisher, root, ca;  // the stores afterwards, as letters
  bool recordKept;
  bool done;
};

class UninstallTrustTest : public testing::TestWithParam<UntrustCase> {};
}  // namespace

// Install added S to both stores, an earlier build O to TrustedPublisher;
// X, someone else's, is in every store. Only what the record names goes.
TEST_P(UninstallTrustTest, RemovesExactlyTheRecordedCertificatesThenTheRecord) {
  Arrange(true, false);
  AddCerts("TrustedPublisher", "XSO");
  AddCerts("Root", "XS");
  AddCerts("CA", "X");
  SetRecord({{"TrustedPublisher", 'S'}, {"Root", 'S'}, {"TrustedPublisher", 'O'}, {"CA", 'X'}});
  GetParam().arrange();
  Sink sink;
  RunUninstallCommand(sink);
  EXPECT_EQ(std::vector<ShownMessage>{GetParam().done ? kDone : kFailed}, sink.shown);
  EXPECT_EQ(GetParam().trustedPublisher, Letters("TrustedPublisher"));
  EXPECT_EQ(GetParam().root, Letters("Root"));
  EXPECT_EQ(GetParam().ca, Letters("CA"));
  EXPECT_EQ(GetParam().recordKept, fake::registry().HasValue(kRecordKey, "AddedCertificates"));
  EXPECT_EQ(0, fake::certificates().Open());
  EXPECT_EQ(0, fake::registry().OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UninstallTrustTest,
    testing::ValuesIn(std::vector<UntrustCase>{
        {"everything recorded still there", [] {}, "X", "X", "X", false, true},
        {"a recorded certificate already gone, an unrecorded one kept",
         [] { SetRecord({{"TrustedPublisher", 'S'}, {"Root", 'S'}, {"Root", 'O'}}); }, "XO", "X", "X", false, true},
        {"an empty record", [] { SetRecord({}); }, "XSO", "XS", "X", false, true},
        {"a store that cannot be opened", [] { fake::Fail("CertOpenStore"); }, "XSO", "XS", "X", true, false},
        {"a certificate that cannot be deleted", [] { fake::FailNth("CertDeleteCertificateFromStore", 2); }, "X",
         "XS", "X", true, false},
        {"a record that cannot be read", [] { fake::Fail("RegQueryValueExA"); }, "XSO", "XS", "X", true, false},
        {"a record that cannot be deleted", [] { fake::Fail("RegDeleteValueA"); }, "X", "X", "X", true, false},
    }),
    NameByWhat());
