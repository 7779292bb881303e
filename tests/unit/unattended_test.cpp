// The unattended mode against the fake OS: each outcome's exit code, the
// console and the /log file.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_console.h"
#include "fake_os/fake_devices.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_network.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "fake_os/fake_registry.h"
#include "fake_os/fake_resources.h"
#include "fake_os/fake_services.h"
#include "fake_os/fake_spooler.h"
#include "fake_os/fake_system_info.h"
#include "os/processes.h"
#include "os/services.h"
#include "support/archive_builder.h"
#include "support/sample_picture.h"
#include "support/working_folder.h"
#include "support/signed_payload.h"
#include "support/trust_fixture.h"
#include "unattended/command_line.h"
#include "unattended/unattended.h"

namespace {

const std::string kInterfaces =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const std::string kTcpIpPorts = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
// The success line as a file or pipe gets it (UTF-8) and as a console shows it.
const char kInstalledLine[] = u8"提示: 打印机驱动设备已完成安装\r\n";
const char16_t kInstalledShown[] = u"提示: 打印机驱动设备已完成安装\r\n";
const char kBom[] = "\xEF\xBB\xBF";

void AddUsbPrinter(const std::string& instance, std::uint32_t port) {
  fake::registry().SetDword(
      kInterfaces + "\\##?#" + instance + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters",
      "Port Number", port);
}

// A machine on which every command succeeds: the program's resources, a
// running spooler, the vendor's printer on USB001 (with its device) and
// another vendor's on USB002, and a network printer at 127.0.0.1:9100.
// Output goes to a redirected standard handle.
class Unattended : public testing::Test {
 protected:
  void SetUp() override {
    fake::resources().Add("ZIPRES", 205, PayloadSignedBy("build-signer.cer", Cert('S')));
    fake::resources().Add("ZIPRES", 208, sample_picture::Archive());
    fake::services().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
    fake::spooler().AnswerRemovalCommands();
    fake::spooler().AnswerInstallCommands();
    fake::processes().Respond("pnputil -e", 0, "Published name :  oem0.inf\nDriver package provider :  Microsoft\n");
    fake::registry().AddKey(kTcpIpPorts);
    AddUsbPrinter("USB#VID_4B9E&PID_0001#abc", 1);
    AddUsbPrinter("USB#VID_1234&PID_0002#xyz", 2);
    usbDevice = &fake::devices().Add("\\\\?\\USB#VID_4B9E&PID_0001#abc#{A5DCBF10-6530-11D2-901F-00C04FB951ED}",
                                     fake::WriteOutcome::AtOnce);
    printer = &fake::network().Listen("127.0.0.1", 9100);
    fake::console().redirected = true;
    fake::files().AddFolder("C:\\Windows\\Logs");
  }

  static int Run(const std::string& line) {
    std::vector<std::string> arguments = SplitCommandLine(("x.exe " + line).c_str());
    arguments.erase(arguments.begin());
    testing::internal::CaptureStdout();  // the fake network's diagnostics
    const int code = RunUnattended(arguments);
    testing::internal::GetCapturedStdout();
    return code;
  }

  std::vector<std::string> CommandLines() const {
    std::vector<std::string> lines;
    for (const fake::Launch& launch : fake::processes().launches) lines.push_back(launch.commandLine);
    return lines;
  }

  fake::Device* usbDevice = nullptr;
  fake::Listener* printer = nullptr;
};

TEST_F(Unattended, EachOutcomeEndsWithItsExitCode) {
  struct Case {
    std::string line;
    std::function<void()> arrange;
    int code;
  };
  auto none = [] {};
  // Files in the way of the staging folder and of its fallback.
  const auto BlockStaging = [] {
    fake::files().AddFile("C:\\ProgramData\\Tovlan", "in the way");
    fake::files().AddFile("C:\\Windows\\Tovlan", "in the way");
  };
  const std::vector<Case> cases = {
      {"/install /usb USB001", none, 0},
      {"/install /host 127.0.0.1 /default /share", none, 0},
      {"/test /host 127.0.0.1", none, 0},
      {"/test /usb USB001", none, 0},
      {"/uninstall", none, 0},
      {"/install /usb USB001 /bogus", none, 10},
      {"/install /usb USB001 /?", none, 0},
      {"/install /usb USB001 /log C:\\", none, 11},
      {"/install /usb USB001 /log C:\\no\\such\\folder\\a.log", none, 11},
      // The picture does not load: reported as the sample that cannot be unpacked.
      {"/test /host 127.0.0.1",
       [] { fake::resources().Add("ZIPRES", 208, BuildArchive({{"sample.bmp", "BM not a picture"}})); }, 44},
      {"/install /usb USB001", BlockStaging, 21},
      {"/install /usb USB001", [] { fake::Fail("FindResourceA"); }, 22},
      {"/install /usb USB001", [] { fake::resources().Add("ZIPRES", 205, "not a zip archive"); }, 24},
      {"/install /usb USB001 /name 0123456789012345678901234567890X", none, 25},
      {"/install /usb \"\"", none, 26},
      {"/install /usb USB002", none, 27},
      {"/install /host \"\"", none, 28},
      {"/install /host printer.example", none, 29},
      {"/install /host 127.0.0.1 /port 0", none, 30},
      {"/install /host 127.0.0.1", [] { fake::registry().DenyCreate(kTcpIpPorts + "\\127.0.0.1"); }, 31},
      {"/install /usb USB001", [] { fake::processes().Respond("/if", 1); }, 32},
      {"/install /usb USB001 /default", [] { fake::processes().Respond("/y", 2); }, 33},
      {"/test /host nowhere.local", none, 41},
      {"/test /usb USB001", BlockStaging, 42},
      {"/test /host 127.0.0.1", [] { fake::Fail("FindResourceA"); }, 43},
      {"/test /usb USB001", [] { fake::resources().Add("ZIPRES", 208, "not a zip archive"); }, 44},
      {"/test /host 127.0.0.1 /port 9101", none, 45},
      {"/test /usb USB002", none, 45},
      {"/test /usb " + std::string(1100, 'U'), none, 45},  // longer than the list's text buffer
      {"/uninstall", [] { fake::Fail("EnumPrinterDriversA"); }, 3010},
      // The first failure decides: the device registry, then the model check.
      {"/install /usb USB001", [] { fake::Fail("RegOpenKeyA"); }, 62},
  };
  // The code follows the message whatever language shows it.
  for (const std::uint16_t language : {0x0804, 0x0409}) {
    for (const Case& c : cases) {
      fake::Reset();
      SetUp();
      fake::systemInfo().uiLanguage = language;
      c.arrange();
      EXPECT_EQ(c.code, Run(c.line)) << c.line << " " << std::hex << language << "\n" << fake::console().Output();
    }
  }
}

TEST_F(Unattended, TheFormComesFromTheArgumentsWithTheDialogsDefaults) {
  const std::string inf = "rundll32 printui.dll,PrintUIEntry /if /f \"" + kFirstWorkingFolder + "\\install\\\\";
  const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
      // Unattended, the printer UI is asked to stay quiet ("/q").
      {"/install /usb USB001", {inf + "lumatrek.inf\" /r \"USB001\" /m \"lumatrek\" /b \"lumatrek58-usb\" /q"}},
      {"/install /host 127.0.0.1 /model 80",
       {inf + "lumatrek80.inf\" /r \"127.0.0.1\" /m \"lumatrek80\" /b \"lumatrek80-wifi\" /q"}},
      {"/install /usb USB001 /model 80 /name \"front desk\" /share /default",
       {inf + "lumatrek80.inf\" /r \"USB001\" /m \"lumatrek80\" /b \"front desk\" /Z /q",
        "rundll32 printui.dll,PrintUIEntry /n \"front desk\" /y /q"}},
  };
  for (const auto& [line, commandLines] : cases) {
    fake::Reset();
    SetUp();
    EXPECT_EQ(0, Run(line)) << line;
    EXPECT_EQ(commandLines, CommandLines()) << line;
  }
  // The port typed goes into the port entry.
  fake::Reset();
  SetUp();
  EXPECT_EQ(0, Run("/install /host 127.0.0.1 /port 9101"));
  EXPECT_EQ(std::string("\x8D\x23\0\0", 4),
            fake::registry().Value(kTcpIpPorts + "\\127.0.0.1", "PortNumber").data);
}

TEST_F(Unattended, TestPagesGoToTheNamedPrinterOnly) {
  // After the page, the printer is asked for its status (DLE EOT 1; a
  // printer that does not answer is asked nothing more).
  const std::string statusRequest("\x10\x04\x01", 3);
  EXPECT_EQ(0, Run("/test /usb USB001"));
  EXPECT_EQ(sample_picture::ReferencePage("USB001") + statusRequest, usbDevice->received);
  EXPECT_EQ(0, printer->connections);

  fake::Reset();
  SetUp();
  EXPECT_EQ(0, Run("/test /host 127.0.0.1"));
  EXPECT_EQ(sample_picture::ReferencePage("127.0.0.1") + statusRequest, printer->received);
  EXPECT_EQ(0, usbDevice->writes);
}

TEST_F(Unattended, ALineNotUnderstoodPrintsTheUsageAndTouchesNothing) {
  EXPECT_EQ(10, Run("/install /usb USB001 /host 127.0.0.1 /log C:\\u.log"));
  const std::string out = fake::console().Output();
  EXPECT_EQ(0u, out.find("lumatrek-setup: /usb and /host together\r\nUsage:\r\n")) << out;
  EXPECT_NE(std::string::npos, out.find("  lumatrek-setup.exe /uninstall [/log FILE]\r\n")) << out;
  EXPECT_FALSE(fake::files().Exists("C:\\ProgramData\\Tovlan"));
  EXPECT_FALSE(fake::files().Exists("C:\\u.log"));
  EXPECT_EQ(0, fake::CallCount("FindResourceA"));
}

TEST_F(Unattended, MessagesReachTheRedirectedOutputOrTheParentsConsole) {
  EXPECT_EQ(0, Run("/install /usb USB001"));
  EXPECT_EQ(kInstalledLine, fake::devices().Find("<stdout>")->received);
  EXPECT_EQ(0, fake::CallCount("AttachConsole"));

  // No output handle: attach to the console of the parent.
  fake::Reset();
  SetUp();
  fake::console().redirected = false;
  EXPECT_EQ(0, Run("/install /usb USB001"));
  EXPECT_TRUE(fake::console().attached);
  EXPECT_EQ(kInstalledShown, fake::console().shown);
  EXPECT_EQ("", fake::devices().Find("CONOUT$")->received);
  EXPECT_EQ(0, fake::devices().OpenHandles());

  // Neither: the command still runs and ends with its code.
  fake::Reset();
  SetUp();
  fake::console().redirected = false;
  fake::console().parentConsole = false;
  EXPECT_EQ(27, Run("/install /usb USB002"));
  EXPECT_EQ("", fake::console().Output());
}

TEST_F(Unattended, HelpPrintsTheUsageAndTheSocketsDiagnosticGoesTheSameWay) {
  EXPECT_EQ(0, Run("-?"));
  EXPECT_EQ(kUsageText, fake::console().Output());

  fake::Reset();
  SetUp();
  EXPECT_EQ(45, Run("/test /host 127.0.0.1 /port 9101"));
  EXPECT_EQ(0u, fake::console().Output().find(u8"连接失败:")) << fake::console().Output();
}

// The socket error is a line of its own on the console and in the log, before
// the message; an English user reads both in English, a Chinese user the
// program's own texts.
TEST_F(Unattended, TheSocketErrorIsALineOfTheConsoleAndTheLogInTheUsersLanguage) {
  struct Case {
    std::uint16_t language;
    std::string lines;
  };
  const std::vector<Case> cases = {
      {0x0804, u8"连接失败:10061 (WSAECONNREFUSED)\r\n错误: 测试端口写入失败\r\n"},
      {0x0409, "Connection failed:10061 (WSAECONNREFUSED)\r\nError: Writing to the test port failed\r\n"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    SetUp();
    fake::systemInfo().uiLanguage = c.language;
    EXPECT_EQ(45, Run("/test /host 127.0.0.1 /port 9101 /log C:\\t.log"));
    EXPECT_EQ(c.lines, fake::console().Output());
    const std::string log = fake::files().Read("C:\\t.log");
    EXPECT_NE(std::string::npos, log.find("sample.bmp\r\n" + c.lines + "cleaned up: ok\r\n")) << log;
  }
  fake::Reset();
  SetUp();
  fake::systemInfo().uiLanguage = 0x0409;
  fake::console().redirected = false;  // a console shows it as UTF-16
  EXPECT_EQ(0, Run("/install /usb USB001"));
  EXPECT_EQ(u"Notice: The printer driver and printer are installed\r\n", fake::console().shown);
}

TEST_F(Unattended, TheLogHasOneLineForEachStepAndMessage) {
  fake::files().AddFile("C:\\logs\\setup.log", std::string(5000, 'o'));  // the user's old log is emptied
  EXPECT_EQ(0, Run("/install /host 127.0.0.1 /log C:\\logs\\setup.log"));
  const std::string signer = "publisher trusted: \"Lumatrek build signer\" " + fake::Sha1Hex(Cert('S'));
  EXPECT_EQ(
      std::string(kBom) +
          "command: /install /host 127.0.0.1 /log C:\\logs\\setup.log\r\n"
      "staged: " + kFirstWorkingFolder + "\\install\\\r\n"
      "checked: network printer at 127.0.0.1 port 9100\r\n"
      "port registered: 127.0.0.1\r\n" +
          signer + " in LocalMachine\\TrustedPublisher: added and recorded\r\n" + signer +
          " in LocalMachine\\Root: added and recorded\r\n"
          "printer UI run: exit status 0\r\n"
      "printer found: ok\r\n" +
          std::string(kInstalledLine) +
          "cleaned up: ok\r\n"
          "exit code: 0\r\n",
      fake::files().Read("C:\\logs\\setup.log"));
  EXPECT_EQ(kInstalledLine, fake::console().Output());  // steps go to the log only
  EXPECT_EQ(0, fake::files().OpenStreams());

  fake::Reset();
  SetUp();
  EXPECT_EQ(45, Run("/test /usb USB009 /log C:\\t.log"));
  EXPECT_EQ(
      std::string(kBom) +
          "command: /test /usb USB009 /log C:\\t.log\r\n"
      "staged: " + kFirstWorkingFolder + "\\sample.bmp\r\n"
      "page written: USB009: no USB printer device\r\n"
      u8"错误: 测试端口写入失败\r\n"
      "cleaned up: ok\r\n"
      "exit code: 45\r\n",
      fake::files().Read("C:\\t.log"));

  fake::Reset();
  SetUp();
  fake::Fail("EnumPrinterDriversA");
  EXPECT_EQ(3010, Run("/uninstall /log C:\\u.log"));
  const std::string log = fake::files().Read("C:\\u.log");
  EXPECT_NE(std::string::npos, log.find("\r\nWOW64 redirection off: ok\r\n"
                                        "printers and driver removed: lumatrek: failed\r\n"))
      << log;
}

TEST_F(Unattended, APayloadFolderStillInUseIsRemovedOnASecondAttempt) {
  // Without a message box to wait for, the clean-up follows the printer UI's
  // exit at once; the first removal of the (by then empty) folder fails.
  fake::FailNth("RemoveDirectoryA", 3);
  EXPECT_EQ(0, Run("/install /usb USB001 /log C:\\i.log"));
  EXPECT_FALSE(fake::files().Exists(kFirstWorkingFolder));
  EXPECT_NE(std::string::npos, fake::files().Read("C:\\i.log").find("\r\ncleaned up: ok\r\n"));
  EXPECT_EQ(5, fake::CallCount("RemoveDirectoryA"));
  EXPECT_EQ(200u, fake::services().slept);
}

TEST_F(Unattended, ALogThatDoesNotFitTheDiskTurnsSuccessIntoItsCode) {
  fake::files().SetFreeSpace(60);  // the first line only
  EXPECT_EQ(11, Run("/uninstall /log C:\\u.log"));
  EXPECT_NE(std::string::npos, fake::console().Output().find("the log file C:\\u.log is incomplete\r\n"));
  fake::Reset();
  SetUp();
  fake::files().SetFreeSpace(60);
  fake::Fail("EnumPrinterDriversA");
  EXPECT_EQ(3010, Run("/uninstall /log C:\\u.log"));  // a failure keeps its own code
}

// A path that leads anywhere but to a plain file of its own name is refused
// before anything is emptied or run.
TEST_F(Unattended, ALogPathThatLeadsElsewhereIsRefused) {
  const std::string target = "C:\\Windows\\system32\\config\\important";
  const std::string log = "C:\\Users\\Public\\setup.log";
  const std::vector<std::pair<const char*, std::function<std::string()>>> cases = {
      {"a link at the path", [&] { fake::files().AddLink(log, target); return log; }},
      {"a second name of the file", [&] { fake::files().AddHardLink(log, target); return log; }},
      {"a junction among its folders",
       [&] {
         fake::files().AddLink("C:\\Users\\Public\\logs", "C:\\Windows\\system32\\config");
         return std::string("C:\\Users\\Public\\logs\\important");
       }},
      {"a junction among its folders, to a file not there yet",
       [&] {
         fake::files().AddLink("C:\\Users\\Public\\logs", "C:\\Windows\\system32\\config");
         return std::string("C:\\Users\\Public\\logs\\fresh.log");
       }},
      {"a folder", [&] { fake::files().AddFolder(log); return log; }},
      {"a folder another user made",
       [&] {
         fake::files().AddFolder("C:\\Users\\Public\\theirs");
         fake::files().SetOwner("C:\\Users\\Public\\theirs", "S-1-5-21-7-7-7-1001");
         return std::string("C:\\Users\\Public\\theirs\\setup.log");
       }},
      {"a log file another user made, under an oplock",
       [&] {
         fake::files().AddFile(log, "theirs");
         fake::files().SetOwner(log, "S-1-5-21-7-7-7-1001");
         fake::files().Oplock(log);
         return log;
       }},
      {"its empty folder made a mount point as the file is created",
       [&] {
         fake::files().AddFolder("C:\\Users\\Public\\logs");
         // Opens: the folder judged, the file judged, then created.
         fake::OnNthCall("CreateFileA", 3, [] {
           ASSERT_TRUE(fake::files().MakeMountPoint("C:\\Users\\Public\\logs", "C:\\Windows\\system32\\config"));
         });
         return std::string("C:\\Users\\Public\\logs\\late.log");
       }},
  };
  for (const auto& [what, arrange] : cases) {
    fake::Reset();
    SetUp();
    fake::files().AddFile(target, "keep");
    const std::string path = arrange();
    EXPECT_EQ(11, Run("/uninstall /log " + path)) << what;
    EXPECT_EQ("keep", fake::files().Read(target)) << what;
    EXPECT_FALSE(fake::files().Exists("C:\\Windows\\system32\\config\\fresh.log")) << what;
    EXPECT_EQ("lumatrek-setup: cannot write the log file " + path + "\r\n", fake::console().Output()) << what;
    EXPECT_TRUE(fake::processes().launches.empty()) << what;
    EXPECT_EQ(0, fake::files().OpenHandles()) << what;
    EXPECT_EQ(std::vector<std::string>{}, fake::files().Waits()) << what;
  }
}

// On Windows (an elevated token gives what it makes to the Administrators)
// a folder owned by the running account serves only in that account's own
// profile; SYSTEM's and the Administrators' folders serve anywhere.
TEST_F(Unattended, ALogFolderOfTheRunningAccountServesOnlyInItsOwnProfile) {
  struct Case {
    const char* folder;
    const char* owner;
    int code;
  };
  for (const Case& c : {Case{"C:\\Users\\admin\\logs", fake::kProcessUser, 0},
                        Case{"C:\\logs", fake::kProcessUser, 11}, Case{"C:\\logs", "SY", 0}}) {
    fake::Reset();
    SetUp();
    fake::files().SetDefaultOwner("BA");
    fake::files().SetEnv("USERPROFILE", "C:\\Users\\admin");
    fake::files().AddFolder(c.folder);
    fake::files().SetOwner(c.folder, c.owner);
    fake::files().Oplock(c.folder);  // a user that may list the folder may also ask this
    const std::string log = std::string(c.folder) + "\\setup.log";
    EXPECT_EQ(c.code, Run("/uninstall /log " + log)) << c.folder << " " << c.owner;
    EXPECT_EQ(std::vector<std::string>{}, fake::files().Waits()) << c.folder << " " << c.owner;
    EXPECT_EQ(c.code == 0, fake::files().Exists(log)) << c.folder << " " << c.owner;
  }
}

// An existing log is emptied and rewritten; neither it nor any other handle
// of ours reaches pnputil, which inherits its output pipe alone.
TEST_F(Unattended, TheLogIsRewrittenAndNoChildInheritsIt) {
  fake::files().AddFile("C:\\u.log", std::string(500, 'o'));
  os::HANDLE strayRead = nullptr;
  os::HANDLE strayWrite = nullptr;
  ASSERT_TRUE(os::CreatePipe(&strayRead, &strayWrite, nullptr, 0));
  ASSERT_TRUE(os::SetHandleInformation(strayWrite, os::HANDLE_FLAG_INHERIT, os::HANDLE_FLAG_INHERIT));
  std::size_t inheritableFiles = 1;
  fake::processes().responses.back().effect = [&] { inheritableFiles = fake::InheritableDiskHandles().size(); };
  EXPECT_EQ(0, Run("/uninstall /log C:\\u.log"));
  EXPECT_EQ(0u, inheritableFiles);
  const fake::Launch& listing = fake::processes().launches.back();
  EXPECT_EQ("pnputil -e", listing.commandLine);
  EXPECT_TRUE(listing.piped);
  EXPECT_EQ(1, listing.inheritedHandles);
  EXPECT_EQ(0, fake::processes().LiveAttributeLists());
  EXPECT_EQ(0u, fake::files().Read("C:\\u.log").find(std::string(kBom) + "command: /uninstall /log C:\\u.log\r\n"));
  EXPECT_EQ(std::string::npos, fake::files().Read("C:\\u.log").find('o' + std::string("oo")));
  os::CloseHandle(strayRead);
  os::CloseHandle(strayWrite);
}

// Unattended, every child has a bound: one that never ends fails its command
// with the command's code, and nothing waits for ever. The dialog's waits
// (the install tests) stay unbounded.
TEST_F(Unattended, AChildThatNeverEndsFailsItsCommandWithinItsBound) {
  struct Case {
    const char* line;
    const char* hangs;
    int code;
  };
  const Case cases[] = {
      {"/install /usb USB001", "/if", 32},
      {"/install /usb USB001 /default", "/y", 33},
      {"/uninstall", "/dl", 3010},
      {"/uninstall", "pnputil -e", 3010},
      {"/uninstall", "pnputil -f -d", 3010},
  };
  for (const Case& c : cases) {
    fake::Reset();
    SetUp();
    fake::spooler().AddDriver("lumatrek");
    fake::spooler().AddPrinter("old", "lumatrek");
    fake::processes().Respond("pnputil -e", 0,
                              "Published Name:  oem5.inf\nProvider Name:  Lumatrek Pos Printer\n");
    fake::processes().Respond(c.hangs, 0).hangs = true;
    EXPECT_EQ(c.code, Run(c.line)) << c.hangs;
    EXPECT_FALSE(fake::processes().waitedForever) << c.hangs;
    EXPECT_FALSE(fake::processes().readHung) << c.hangs;
    for (const std::uint32_t wait : fake::processes().waits) EXPECT_LE(wait, 600000u) << c.hangs;
    EXPECT_LE(fake::services().tick, 600000u + 1000u) << c.hangs;
  }
}

}  // namespace

// /status after an install: every check holds (0), whatever the printer says
// of its paper; each kind of breakage gives the code of the first check that
// fails, and /status itself changes nothing.
TEST_F(Unattended, StatusHoldsAfterAnInstallAndNamesTheFirstBreakage) {
  struct Case {
    const char* what;
    std::string install, status;
    std::function<void()> breakage;
    int code;
  };
  const std::string network = "/host 127.0.0.1";
  const std::string ports = kTcpIpPorts + "\\127.0.0.1";
  const std::vector<Case> cases = {
      {"a network printer as installed", network, network, [] {}, 0},
      {"a USB printer as installed", "/usb USB001", "/usb USB001", [] {}, 0},
      {"the spooler cannot list its drivers", network, network, [] { fake::Fail("EnumPrinterDriversA"); }, 80},
      {"the driver is gone", network, network, [] { fake::spooler().drivers.clear(); }, 81},
      {"another model asked for", network, network + " /model 80", [] {}, 81},
      {"the printer is gone", network, network, [] { fake::spooler().printers.clear(); }, 82},
      {"another name asked for", network, network + " /name other", [] {}, 82},
      {"the printer is on another driver", network, network,
       [] { fake::spooler().printers[0].driver = "Generic / Text Only"; }, 83},
      {"the printer is on another port", "/usb USB001", "/usb USB002", [] {}, 84},
      {"the TCP/IP port goes to another port number", network, network,
       [ports] { fake::registry().SetDword(ports, "PortNumber", 9101); }, 85},
      {"another port number asked for", network, network + " /port 9101", [] {}, 85},
      {"the signer is not trusted", network, network,
       [] { fake::resources().Add("ZIPRES", 205, PayloadSignedBy("build-signer.cer", Cert('O'))); }, 86},
      {"a printer name Install refuses", network, network + " /name a,b", [] {}, 25},
  };
  for (const Case& c : cases) {
    fake::Reset();
    SetUp();
    ASSERT_EQ(0, Run("/install " + c.install)) << c.what;
    c.breakage();
    const auto printers = fake::spooler().printers.size();
    const auto launches = fake::processes().launches.size();
    EXPECT_EQ(c.code, Run("/status " + c.status)) << c.what << "\n" << fake::console().Output();
    EXPECT_EQ(printers, fake::spooler().printers.size()) << c.what;
    EXPECT_EQ(launches, fake::processes().launches.size()) << c.what << ": nothing is started";
    EXPECT_EQ(0, fake::CallCount("CertAddCertificateContextToStore") - 2) << c.what << ": nothing is trusted";
  }
}

TEST_F(Unattended, StatusPrintsOneLinePerCheckAndThePrinterSaysWhatStopsIt) {
  ASSERT_EQ(0, Run("/install /host 127.0.0.1"));
  printer->statusAnswers = {{1, 0x1A}, {2, 0x32}, {4, 0x7E}};
  const std::string before = fake::console().Output();
  EXPECT_EQ(0, Run("/status /host 127.0.0.1 /log C:\\status.log"));
  const std::string shown = fake::console().Output().substr(before.size());
  EXPECT_EQ("driver lumatrek: installed\r\n"
            "printer lumatrek58-wifi: on driver lumatrek and port 127.0.0.1\r\n"
            "TCP/IP port 127.0.0.1: registered, raw TCP to port 9100\r\n"
            "signer \"Lumatrek build signer\" " + fake::Sha1Hex(Cert('S')) + ": trusted\r\n"
            "printer status: offline, paper end\r\n",
            shown);
  EXPECT_NE(std::string::npos, fake::files().Read("C:\\status.log").find("printer status: offline, paper end\r\n"));

  // A USB printer that does not answer is reported as such, and is no failure.
  ASSERT_EQ(0, Run("/install /usb USB001"));
  EXPECT_EQ(0, Run("/status /usb USB001"));
  EXPECT_NE(std::string::npos, fake::console().Output().find("printer status: no answer\r\n"));
}

// Without /log every run is appended to the default log, in a folder that
// gets the program's own access list; a log that cannot be kept there is no
// failure of the command.
TEST_F(Unattended, RunsWithoutLogAppendToTheDefaultLog) {
  const std::string log = "C:\\Windows\\Logs\\Tovlan\\lumatrek-setup.log";
  EXPECT_EQ(0, Run("/install /usb USB001"));
  EXPECT_EQ(0, Run("/uninstall /quiet"));
  const std::string text = fake::files().Read(log);
  EXPECT_EQ(0u, text.find(std::string(kBom) + "command: /install /usb USB001\r\n")) << text;
  EXPECT_EQ(std::string::npos, text.find(kBom, 3)) << "one byte order mark, at the start";
  EXPECT_NE(std::string::npos, text.find("exit code: 0\r\ncommand: /uninstall /quiet\r\n")) << text;
  EXPECT_EQ("O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", fake::files().Security("C:\\Windows\\Logs\\Tovlan"));
  EXPECT_EQ(0, fake::files().OpenHandles());
  EXPECT_EQ(0, fake::files().LiveDescriptors());
  EXPECT_EQ(0, fake::files().OpenStreams());

  fake::Reset();
  SetUp();
  fake::files().AddFile("C:\\Windows\\Logs\\Tovlan", "in the way");
  EXPECT_EQ(0, Run("/install /usb USB001"));
  EXPECT_EQ(0u, fake::console().Output().find("lumatrek-setup: cannot write the default log "
                                             "%SystemRoot%\\Logs\\Tovlan\\lumatrek-setup.log\r\n"))
      << fake::console().Output();
}
