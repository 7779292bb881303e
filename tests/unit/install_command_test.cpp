#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_certificates.h"
#include "fake_os/fake_files.h"
#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "fake_os/fake_registry.h"
#include "fake_os/fake_resources.h"
#include "fake_os/fake_services.h"
#include "fake_os/fake_spooler.h"
#include "install/install_command.h"
#include "os/files.h"
#include "os/services.h"
#include "support/recording_sink.h"
#include "support/case_name.h"
#include "support/scripted_form.h"
#include "support/working_folder.h"
#include "support/signed_payload.h"
#include "support/trust_fixture.h"

namespace {

// Every message of the command, in GBK, written out here rather than taken
// from the code under test.
const char kError[] = "\xB4\xED\xCE\xF3";   // 错误
const char kNotice[] = "\xCC\xE1\xCA\xBE";  // 提示
const char kUnpackFolder[] = "\xB4\xB4\xBD\xA8\xBD\xE2\xD1\xB9\xC4\xBF\xC2\xBC\xCA\xA7\xB0\xDC";
const char kExport[] = "\xB5\xBC\xB3\xF6\xB0\xB2\xD7\xB0\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC";
const char kExtract[] = "\xBD\xE2\xD1\xB9\xD7\xCA\xD4\xB4\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC";
const char kName[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xC3\xFB\xB3\xC6\xB4\xED\xCE\xF3";
const char kUsbPortName[] = "\xB4\xF2\xD3\xA1\xBB\xFAUSB\xB6\xCB\xBF\xDA\xC3\xFB\xB3\xC6\xB4\xED\xCE\xF3";
const char kModel[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xCD\xBA\xC5\xB4\xED\xCE\xF3";
const char kAddressLength[] = "\xB4\xF2\xD3\xA1\xBB\xFAIP\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3";
const char kAddressForm[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xCD\xF8\xD6\xB7IP\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3";
const char kPort[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xB6\xCB\xBF\xDA\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3(0 < port < 65536)";
const char kAddPort[] = "\xCC\xED\xBC\xD3\xB4\xF2\xD3\xA1\xBB\xFA\xB6\xCB\xBF\xDA\xCA\xA7\xB0\xDC";
const char kInstall[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xD3\xEB\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xCA\xA7\xB0\xDC";
const char kDefault[] = "\xC9\xE8\xD6\xC3\xC4\xAC\xC8\xCF\xB4\xF2\xD3\xA1\xBB\xFA\xCA\xA7\xB0\xDC";
const char kInstalled[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xC9\xE8\xB1\xB8\xD2\xD1\xCD\xEA\xB3\xC9\xB0\xB2\xD7\xB0";

const ShownMessage kSuccess{kInstalled, kNotice};
ShownMessage Failure(const char* text) { return {text, kError}; }

const std::string kStaging = kFirstWorkingFolder;
const std::string kArchive = kStaging + "\\install.zip";
const std::string kPayload = kStaging + "\\install";
const std::string kRundll32 = "C:\\Windows\\system32\\rundll32.exe";
const std::string kPorts = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const std::string kInterfaces =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

const std::vector<std::string> kPayloadListing = {
    "amd64",         "build-signer.cer", "i386",           "lumatrek.cat",   "lumatrek.gpd",   "lumatrek.inf",
    "lumatrek.ini",  "lumatrek80.cat", "lumatrek80.gpd", "lumatrek80.inf", "lumatrek80.ini"};

void AddUsbInterface(const std::string& instance, std::uint32_t port) {
  fake::registry().SetDword(kInterfaces + "\\##?#" + instance + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters",
                            "Port Number", port);
}

// What the folder held at the moment a child process was started.
struct ChildView {
  std::vector<std::string> listing;
  bool portKeyExisted = false;
};

// A machine with the payload resource, a running spooler, USB001 on a
// printer of the vendor and USB002 on a printer of another vendor.
class InstallCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::resources().Add("ZIPRES", 205, PayloadSignedBy("build-signer.cer", Cert('S')));
    fake::resources().Add("ZIPRES", 208, "the sample archive");
    fake::services().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
    fake::services().Find("Spooler")->stopMs = 500;
    fake::services().Find("Spooler")->startMs = 500;
    fake::registry().AddKey(kPorts);
    AddUsbInterface("USB#VID_4B9E&PID_0001#abc", 1);
    AddUsbInterface("USB#VID_1234&PID_0002#xyz", 2);
    fake::spooler().AnswerInstallCommands();
  }

  // Runs the command, then checks that the staged files are gone, the
  // staging folder stays, and nothing was left open.
  std::vector<ShownMessage> Run() {
    RecordingSink sink;
    RunInstallCommand(form, sink);
    steps = sink.steps;
    EXPECT_FALSE(fake::files().Exists(kArchive));
    EXPECT_FALSE(fake::files().Exists(kPayload));
    EXPECT_FALSE(fake::files().Exists(kStaging)) << "the working folder goes";
    EXPECT_EQ(0, fake::files().OpenStreams());
    EXPECT_EQ(0, fake::files().OpenHandles());
    EXPECT_EQ(0, fake::files().OpenFinds());
    EXPECT_EQ(0, fake::processes().OpenHandles());
    EXPECT_EQ(0, fake::registry().OpenKeys());
    EXPECT_EQ(0, fake::services().OpenHandles());
    EXPECT_EQ(0, fake::resources().Loaded());
    EXPECT_EQ(0, fake::LiveBlocks());
    EXPECT_EQ(0, fake::spooler().OpenHandles());
    EXPECT_EQ(0, fake::certificates().Open());
    return sink.shown;
  }

  // Notes the payload folder's listing when a command line containing `pattern` runs.
  void WatchChild(const std::string& pattern, std::uint32_t exitCode, ChildView& view, const std::string& host = "") {
    fake::processes().Respond(pattern, exitCode).effect = [&view, host, exitCode] {
      view.listing = fake::files().List(kPayload);
      view.portKeyExisted = !host.empty() && fake::registry().HasKey(kPorts + "\\" + host);
      if (exitCode == 0) fake::spooler().CarryOut(fake::processes().launches.back().commandLine);
    };
  }

  std::vector<std::string> CommandLines() const {
    std::vector<std::string> lines;
    for (const fake::Launch& launch : fake::processes().launches) lines.push_back(launch.commandLine);
    return lines;
  }

  ScriptedForm form;
  std::vector<std::string> steps;
};

}  // namespace

TEST_F(InstallCommandTest, TheExampleCommandLineRunsTheSystemsRundll32InTheUnpackedPayload) {
  form.sharePrinter = true;
  ChildView child;
  WatchChild("/if", 0, child);
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());

  ASSERT_EQ(1u, fake::processes().launches.size());
  const fake::Launch& launch = fake::processes().launches[0];
  EXPECT_EQ(
      "rundll32 printui.dll,PrintUIEntry /if /f \"" + kPayload + "\\\\lumatrek.inf\" "
      "/r \"USB001\" /m \"lumatrek\" /b \"lumatrek58-usb\" /Z",
      launch.commandLine);
  EXPECT_EQ(kRundll32, launch.application);
  EXPECT_EQ(kRundll32, launch.program);
  EXPECT_EQ(kPayload + "\\", launch.currentDirectory);
  EXPECT_EQ(5, launch.showWindow);
  EXPECT_TRUE(launch.started);
  EXPECT_EQ(kPayloadListing, child.listing);
  EXPECT_EQ(std::vector<std::uint32_t>{os::INFINITE}, fake::processes().waits);  // the dialog waits as long as it takes

  // A USB printer: the address fields are neither read nor used, no port is
  // registered and the spooler is left alone.
  EXPECT_FALSE(form.WasRead("hostAddress"));
  EXPECT_FALSE(form.WasRead("portText"));
  EXPECT_TRUE(fake::registry().SubKeys(kPorts).empty());
  EXPECT_TRUE(fake::services().started.empty());
  EXPECT_EQ(0, fake::CallCount("ControlService"));
}

namespace {
struct ModelAndShare {
  int modelIndex;
  bool share;
  const char* line;  // the command line from the INF file's name on
};

class InstallCommandLine : public InstallCommandTest, public testing::WithParamInterface<ModelAndShare> {};
}  // namespace

TEST_P(InstallCommandLine, FollowsTheModelAndShareChoices) {
  form.printerName = "my printer";
  form.modelIndex = GetParam().modelIndex;
  form.sharePrinter = GetParam().share;
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());
  EXPECT_EQ(std::vector<std::string>{std::string("rundll32 printui.dll,PrintUIEntry /if /f \"") +
                                     kPayload + "\\\\" + GetParam().line},
            CommandLines());
}

// Any index that names no model (-1: no selection) installs the 80 mm model.
INSTANTIATE_TEST_SUITE_P(
    Cases, InstallCommandLine,
    testing::Values(ModelAndShare{0, false, "lumatrek.inf\" /r \"USB001\" /m \"lumatrek\" /b \"my printer\""},
                    ModelAndShare{1, false, "lumatrek80.inf\" /r \"USB001\" /m \"lumatrek80\" /b \"my printer\""},
                    ModelAndShare{-1, false, "lumatrek80.inf\" /r \"USB001\" /m \"lumatrek80\" /b \"my printer\""},
                    ModelAndShare{1, true, "lumatrek80.inf\" /r \"USB001\" /m \"lumatrek80\" /b \"my printer\" /Z"}));

TEST_F(InstallCommandTest, ANetworkPrinterGetsItsPortRegisteredBeforeTheInstallation) {
  form.usbPrinterChecked = false;
  form.usbPortName = "";
  form.hostAddress = "127.0.0.1";
  form.portText = "9100";
  form.printerName = "lumatrek58-wifi";
  ChildView child;
  WatchChild("/if", 0, child, "127.0.0.1");
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());

  EXPECT_TRUE(child.portKeyExisted);
  const std::string key = kPorts + "\\127.0.0.1";
  EXPECT_EQ(std::string("127.0.0.1\0", 10), fake::registry().Value(key, "HostName").data);
  EXPECT_EQ(std::string("127.0.0.1\0", 10), fake::registry().Value(key, "IPAddress").data);
  EXPECT_EQ(std::string("\x8C\x23\0\0", 4), fake::registry().Value(key, "PortNumber").data);
  EXPECT_EQ(9u, fake::registry().ValueNames(key).size());
  // The spooler was restarted for the new port.
  EXPECT_EQ(std::vector<std::string>{"Spooler"}, fake::services().started);
  EXPECT_FALSE(form.WasRead("usbPortName"));
  EXPECT_EQ(std::vector<std::string>{"rundll32 printui.dll,PrintUIEntry /if /f "
                                     "\"" + kPayload + "\\\\lumatrek.inf\" /r \"127.0.0.1\" "
                                     "/m \"lumatrek\" /b \"lumatrek58-wifi\""},
            CommandLines());
}

TEST_F(InstallCommandTest, ALocalHostNameRegistersThePortWithAnEmptyIpAddress) {
  form.usbPrinterChecked = false;
  form.hostAddress = "printer.local";
  form.portText = "9101";
  form.modelIndex = 1;
  form.printerName = "lumatrek80-wifi";
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());

  const std::string key = kPorts + "\\printer.local";
  EXPECT_EQ(std::vector<std::string>{"printer.local"}, fake::registry().SubKeys(kPorts));
  EXPECT_EQ(std::string("printer.local\0", 14), fake::registry().Value(key, "HostName").data);
  EXPECT_EQ(std::string("\0", 1), fake::registry().Value(key, "IPAddress").data);
  EXPECT_EQ(std::string("\x8D\x23\0\0", 4), fake::registry().Value(key, "PortNumber").data);
  ASSERT_EQ(1u, CommandLines().size());
  EXPECT_NE(std::string::npos, CommandLines()[0].find(" /r \"printer.local\" /m \"lumatrek80\" /b \"lumatrek80-wifi\""))
      << CommandLines()[0];
}

namespace {
struct InstallFailure {
  const char* what;
  std::function<void(ScriptedForm&)> arrange;
  std::vector<ShownMessage> shown;
  int launches;
};

void Network(ScriptedForm& f, const std::string& host, const char* port) {
  f.usbPrinterChecked = false;
  f.hostAddress = host;
  f.portText = port;
}

class InstallFailureTest : public InstallCommandTest, public testing::WithParamInterface<InstallFailure> {};
}  // namespace

TEST_P(InstallFailureTest, ShowsItsOneMessageAndRunsNothingAfterIt) {
  GetParam().arrange(form);
  EXPECT_EQ(GetParam().shown, Run());
  EXPECT_EQ(GetParam().launches, static_cast<int>(fake::processes().launches.size()));
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, InstallFailureTest,
    testing::ValuesIn(std::vector<InstallFailure>{
      InstallFailure{"a file where the working folder belongs",
       [](ScriptedForm&) { fake::files().AddFile("C:\\ProgramData\\Tovlan", "in the way"); },
       {Failure(kUnpackFolder)}, 0},
      InstallFailure{"a full disk", [](ScriptedForm&) { fake::files().SetFreeSpace(1000); }, {Failure(kExport)}, 0},
      InstallFailure{"no payload resource", [](ScriptedForm&) { fake::Fail("FindResourceA"); }, {Failure(kExport)}, 0},
      InstallFailure{"a payload resource that is no archive",
       [](ScriptedForm&) { fake::resources().Add("ZIPRES", 205, "not a zip archive"); }, {Failure(kExtract)}, 0},
      InstallFailure{"an empty printer name", [](ScriptedForm& f) { f.printerName = ""; }, {Failure(kName)}, 0},
      InstallFailure{"a printer name of 32 bytes", [](ScriptedForm& f) { f.printerName = std::string(32, 'n'); },
       {Failure(kName)}, 0},
      InstallFailure{"no USB port", [](ScriptedForm& f) { f.usbPortName = ""; }, {Failure(kUsbPortName)}, 0},
      InstallFailure{"a USB port of another vendor", [](ScriptedForm& f) { f.usbPortName = "USB002"; }, {Failure(kModel)}, 0},
      InstallFailure{"a USB port without a device", [](ScriptedForm& f) { f.usbPortName = "USB009"; }, {Failure(kModel)}, 0},
      InstallFailure{"no USB printer interfaces at all (the lookup's own message first)",
       [](ScriptedForm&) { fake::Fail("RegOpenKeyA"); },
       {{"RegOpenKeyA baseKeyName err.", kError}, Failure(kModel)}, 0},
      InstallFailure{"no memory for the USB printer lookup (its own message first)",
       [](ScriptedForm&) { fake::FailNth("malloc", 14); },  // after one chunk per extracted file (13 files)
       {{"malloc subKeyName err.", kError}, Failure(kModel)}, 0},
      InstallFailure{"an empty address", [](ScriptedForm& f) { Network(f, "", "9100"); }, {Failure(kAddressLength)}, 0},
      InstallFailure{"an address of 32 bytes", [](ScriptedForm& f) { Network(f, std::string(26, 'a') + ".local", "9100"); },
       {Failure(kAddressLength)}, 0},
      InstallFailure{"an address of no accepted form", [](ScriptedForm& f) { Network(f, "printer.example", "9100"); },
       {Failure(kAddressForm)}, 0},
      InstallFailure{"port 0", [](ScriptedForm& f) { Network(f, "127.0.0.1", "0"); }, {Failure(kPort)}, 0},
      InstallFailure{"port 65536", [](ScriptedForm& f) { Network(f, "127.0.0.1", "65536"); }, {Failure(kPort)}, 0},
      InstallFailure{"a port entry that cannot be written",
       [](ScriptedForm& f) {
         Network(f, "127.0.0.1", "9100");
         fake::registry().DenyCreate(kPorts + "\\127.0.0.1");
       },
       {Failure(kAddPort)}, 0},
      InstallFailure{"the installation exiting with 1", [](ScriptedForm&) { fake::processes().Respond("/if", 1); },
       {Failure(kInstall)}, 1},
      InstallFailure{"the default printer command exiting with 2",
       [](ScriptedForm& f) {
         f.makeDefault = true;
         fake::processes().Respond("/y", 2);
       },
       {Failure(kDefault)}, 2},
      // The printer UI exits 0 whatever it did; the spooler tells.
      InstallFailure{"the installation exiting with 0 but adding no printer", [](ScriptedForm&) { fake::processes().Respond("/if", 0); },
       {Failure(kInstall)}, 1},
      InstallFailure{"the new printer cannot be opened", [](ScriptedForm&) { fake::Fail("OpenPrinterA"); }, {Failure(kInstall)}, 1},
      // A printer that already had the name proves nothing unless it is on our driver and port.
      InstallFailure{"a printer of that name already on another driver",
       [](ScriptedForm&) { fake::spooler().AddPrinter("lumatrek58-usb", "Generic / Text Only").port = "USB001"; },
       {Failure(kInstall)}, 1},
      InstallFailure{"a printer of that name already on another port",
       [](ScriptedForm&) { fake::spooler().AddPrinter("lumatrek58-usb", "lumatrek").port = "USB002"; },
       {Failure(kInstall)}, 1},
      InstallFailure{"the new printer's record cannot be read", [](ScriptedForm&) { fake::Fail("GetPrinterA"); },
       {Failure(kInstall)}, 1},
      InstallFailure{"a printer of that name, ours but not shared, when sharing was asked",
       [](ScriptedForm& f) {
         f.sharePrinter = true;
         fake::spooler().AddPrinter("lumatrek58-usb", "lumatrek").port = "USB001";
       },
       {Failure(kInstall)}, 1},
      // Checked right before the printer UI starts: the INF it is given must be
      // the one staged, at the path on its command line.
      InstallFailure{"the INF's folder swapped for a junction after the trust step",
       [](ScriptedForm&) {
         fake::files().AddFile("C:\\Users\\mallory\\lumatrek.inf", "theirs");
         fake::OnNthCall("CertOpenStore", 1, [] {
           ASSERT_TRUE(os::MoveFileExA(kPayload.c_str(), (kStaging + "\\moved").c_str(), 0));
           fake::files().AddLink(kPayload, "C:\\Users\\mallory");
         });
       },
       {Failure(kInstall)}, 0},
      InstallFailure{"a USB port name that would carry an argument of its own",
       [](ScriptedForm& f) { f.usbPortName = "USB001\" /f \"C:\\x.inf"; }, {Failure(kUsbPortName)}, 0},
      InstallFailure{"the default printer command exiting with 0 but changing nothing",
       [](ScriptedForm& f) {
         f.makeDefault = true;
         fake::processes().Respond("/y", 0);
       },
       {Failure(kDefault)}, 2},
      InstallFailure{"another printer staying the default",
       [](ScriptedForm& f) {
         f.makeDefault = true;
         fake::processes().Respond("/y", 0).effect = [] { fake::spooler().defaultPrinter = "lumatrek58-usb2"; };
       },
       {Failure(kDefault)}, 2},
      InstallFailure{"no default printer to be read",
       [](ScriptedForm& f) {
         f.makeDefault = true;
         fake::Fail("GetDefaultPrinterA");
       },
       {Failure(kDefault)}, 2},
    }),
    NameByWhat());

TEST_F(InstallCommandTest, AnEmptyPrinterNameIsRejectedOnlyAfterThePayloadWasUnpacked) {
  form.printerName = "";
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kName)}, Run());
  // Both folders of the payload were made while unpacking.
  int payloadFolders = 0;
  for (const std::string& folder : fake::files().FoldersCreated()) {
    if (folder.rfind(kPayload + "\\", 0) == 0 &&
        (folder.find("amd64") != std::string::npos || folder.find("i386") != std::string::npos)) {
      ++payloadFolders;
    }
  }
  EXPECT_EQ(2, payloadFolders) << testing::PrintToString(fake::files().FoldersCreated());
  EXPECT_FALSE(form.WasRead("usbPortName"));
}

TEST_F(InstallCommandTest, TheDefaultPrinterCommandRunsOnlyAfterASuccessfulInstallation) {
  form.makeDefault = true;
  form.printerName = "front desk";
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());
  ASSERT_NE(nullptr, fake::spooler().FindPrinter("front desk"));
  EXPECT_EQ("lumatrek", fake::spooler().FindPrinter("front desk")->driver);
  EXPECT_EQ("front desk", fake::spooler().defaultPrinter);
  ASSERT_EQ(2u, fake::processes().launches.size());
  const fake::Launch& second = fake::processes().launches[1];
  EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /n \"front desk\" /y", second.commandLine);
  EXPECT_EQ(kRundll32, second.application);
  EXPECT_EQ(kPayload + "\\", second.currentDirectory);
  EXPECT_EQ(5, second.showWindow);

  fake::Reset();
  SetUp();
  form.makeDefault = true;
  fake::processes().Respond("/if", 1);
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kInstall)}, Run());
  EXPECT_EQ(1u, fake::processes().launches.size());
}

TEST_F(InstallCommandTest, ARundll32ThatCannotBeStartedIsAFailure) {
  fake::processes().CannotStart("rundll32");
  form.makeDefault = true;
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kInstall)}, Run());
  ASSERT_EQ(1u, fake::processes().launches.size());
  EXPECT_FALSE(fake::processes().launches[0].started);

  // The default printer step cannot be started.
  fake::Reset();
  SetUp();
  form.makeDefault = true;
  fake::FailNth("CreateProcessA", 2);
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kDefault)}, Run());
  EXPECT_EQ(2u, fake::processes().launches.size());

  // The exit status cannot be read.
  fake::Reset();
  SetUp();
  fake::Fail("GetExitCodeProcess");
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kInstall)}, Run());

  // No system folder to take rundll32 from: nothing is searched for.
  fake::Reset();
  SetUp();
  fake::Fail("GetSystemDirectoryA");
  EXPECT_EQ(std::vector<ShownMessage>{Failure(kInstall)}, Run());
  EXPECT_TRUE(fake::processes().launches.empty());
}

TEST_F(InstallCommandTest, ALeftOverPayloadFolderIsDeletedBeforeTheExport) {
  AddEarlierRunsFolder();
  fake::files().AddFile(kPayload + "\\stale.inf", "from an earlier run");
  fake::files().AddFile(kPayload + "\\old\\left.dll", "x");
  ChildView child;
  WatchChild("/if", 0, child);
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());
  EXPECT_EQ(kPayloadListing, child.listing);
  // The old payload went before the archive was written.
  const int firstRemoval = fake::FirstCall("RemoveDirectoryA");
  ASSERT_NE(-1, firstRemoval);
  EXPECT_LT(firstRemoval, fake::FirstCall("WriteFile"));
}

TEST_F(InstallCommandTest, AnArchiveLeftFromAnEarlierRunIsReplaced) {
  AddEarlierRunsFolder();
  fake::files().AddFile(kArchive, std::string(200000, 'o'));
  EXPECT_EQ(std::vector<ShownMessage>{kSuccess}, Run());
  ASSERT_EQ(1u, fake::processes().launches.size());
}

namespace {
struct TrustCase {
  const char* what;
  std::function<void()> arrange;
  std::string trustedPublisher, root;  // the stores afterwards, as letters
  RecordLines record;                  // afterwards
  bool installed;
  bool printerUiRan = false;           // the failure came after the trust
};

class InstallTrustTest : public InstallCommandTest, public testing::WithParamInterface<TrustCase> {};

void Package(const char* file, const std::string& der) {
  fake::resources().Add("ZIPRES", 205, PayloadSignedBy(file, der));
}
}  // namespace

// The signer is trusted before the printer UI runs, and every addition, and
// nothing else, is recorded; a failure stops the installation.
TEST_P(InstallTrustTest, TrustsTheSignerWhereItIsNotTrustedAndRecordsIt) {
  GetParam().arrange();
  EXPECT_EQ(std::vector<ShownMessage>{GetParam().installed ? kSuccess : Failure(kInstall)}, Run());
  EXPECT_EQ(GetParam().installed || GetParam().printerUiRan ? 1u : 0u, fake::processes().launches.size());
  EXPECT_EQ(GetParam().trustedPublisher, Letters("TrustedPublisher"));
  EXPECT_EQ(GetParam().root, Letters("Root"));
  const fake::RegValue record = fake::registry().Value(kRecordKey, "AddedCertificates");
  EXPECT_EQ(GetParam().record.empty() ? "" : RecordBytes(GetParam().record), record.type == 7 ? record.data : "");
  for (const auto& line : GetParam().record) {
    if (line.second != 'S') continue;
    const std::string named = fake::Sha1Hex(Cert(line.second)) + " in LocalMachine\\" + line.first;
    EXPECT_TRUE(std::any_of(steps.begin(), steps.end(), [&](const std::string& step) {
      return step.find("Lumatrek build signer") != std::string::npos && step.find(named) != std::string::npos;
    })) << named << testing::PrintToString(steps);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallTrustTest,
    testing::ValuesIn(std::vector<TrustCase>{
        {"the build's certificate trusted nowhere", [] {}, "S", "S", {{"TrustedPublisher", 'S'}, {"Root", 'S'}}, true},
        {"a vendor's certificate trusted nowhere is no root", [] { Package("publisher.cer", Cert('S')); }, "S", "",
         {{"TrustedPublisher", 'S'}}, true},
        {"the build's certificate trusted already", [] { AddCerts("TrustedPublisher", "S"); AddCerts("Root", "S"); },
         "S", "S", {}, true},
        {"a trusted publisher that is no root yet", [] { AddCerts("TrustedPublisher", "XS"); }, "XS", "S",
         {{"Root", 'S'}}, true},
        {"an earlier build's record kept",
         [] {
           AddCerts("TrustedPublisher", "O");
           SetRecord({{"TrustedPublisher", 'O'}});
         },
         "OS", "S", {{"TrustedPublisher", 'O'}, {"TrustedPublisher", 'S'}, {"Root", 'S'}}, true},
        {"no certificate in the package", [] { Package("", ""); }, "", "", {}, false},
        {"an unreadable certificate", [] { Package("build-signer.cer", "not a certificate"); }, "", "", {}, false},
        {"no store", [] { fake::Fail("CertOpenStore"); }, "", "", {}, false},
        {"a store that cannot be searched", [] { fake::Fail("CertFindCertificateInStore"); }, "", "", {}, false},
        {"a store that cannot be written", [] { fake::Fail("CertAddCertificateContextToStore"); }, "", "", {}, false},
        // A failed install takes back what it added, and only that.
        {"a Root store that cannot be written takes this run's addition back",
         [] { fake::FailNth("CertAddCertificateContextToStore", 2); }, "", "", {}, false},
        {"a Root store that cannot be written leaves what an earlier run added",
         [] {
           AddCerts("TrustedPublisher", "O");
           SetRecord({{"TrustedPublisher", 'O'}});
           fake::FailNth("CertAddCertificateContextToStore", 2);
         },
         "O", "", {{"TrustedPublisher", 'O'}}, false},
        {"a failed printer installation takes back the trust it added", [] { fake::processes().Respond("/if", 1); },
         "", "", {}, false, true},
        {"a failed printer installation leaves the trust an earlier run added",
         [] {
           AddCerts("TrustedPublisher", "S");
           AddCerts("Root", "S");
           SetRecord({{"TrustedPublisher", 'S'}, {"Root", 'S'}});
           fake::processes().Respond("/if", 1);
         },
         "S", "S", {{"TrustedPublisher", 'S'}, {"Root", 'S'}}, false, true},
        {"a failed printer installation leaves a signer trusted without us", [] {
           AddCerts("TrustedPublisher", "S");
           fake::processes().Respond("/if", 1);
         },
         "S", "", {}, false, true},
        {"a record that cannot be written takes the addition back", [] { fake::Fail("RegSetValueExA"); }, "", "", {},
         false},
        {"a record that is no list",
         [] { fake::registry().SetString(kRecordKey, "AddedCertificates", "TrustedPublisher"); }, "", "", {}, false},
    }),
    NameByWhat());
