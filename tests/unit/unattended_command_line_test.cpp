#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unattended/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheQuotingRulesOfWindowsPrograms) {
  struct Case {
    const char* line;
    Args arguments;
  };
  const std::vector<Case> cases = {
      {"lumatrek-setup.exe", {"lumatrek-setup.exe"}},
      {"lumatrek-setup.exe   ", {"lumatrek-setup.exe"}},
      {"\"C:\\Program Files\\a b\\x.exe\" /install", {"C:\\Program Files\\a b\\x.exe", "/install"}},
      {"x.exe\t/name  \"front desk\"   /share", {"x.exe", "/name", "front desk", "/share"}},
      {"x.exe /log C:\\logs\\a.log", {"x.exe", "/log", "C:\\logs\\a.log"}},
      {"x.exe a\\\\b \"c\\\\\" d", {"x.exe", "a\\\\b", "c\\", "d"}},  // 2n backslashes before a quote: n
      {"x.exe \\\"a \\\\\\\"b", {"x.exe", "\"a", "\\\"b"}},           // 2n+1: n and a literal quote
      {"x.exe \"a\"\"b\" \"\" e\"f g\"h", {"x.exe", "a\"b", "", "ef gh"}},
      {"x.exe \"open to the end", {"x.exe", "open to the end"}},
      // 乗 in GBK ends in 0x5C: a trail byte, not a backslash before the quote.
      {"x.exe /name \"\x81\x5C\" /share", {"x.exe", "/name", "\x81\x5C", "/share"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.arguments, SplitCommandLine(c.line)) << c.line;
  EXPECT_TRUE(SplitCommandLine(nullptr).empty());
}

// The options a line sets, written out compactly.
std::string Described(const UnattendedOptions& o) {
  std::string s = o.command == UnattendedCommand::Install ? "install"
                  : o.command == UnattendedCommand::Test   ? "test"
                  : o.command == UnattendedCommand::Status ? "status"
                                                           : "uninstall";
  s += " model=" + std::to_string(o.modelIndex);
  if (o.usb) s += " usb=" + o.usbPort;
  if (o.network) s += " host=" + o.host;
  s += " port=" + o.port;
  if (o.nameGiven) s += " name=" + o.name;
  if (o.share) s += " share";
  if (o.makeDefault) s += " default";
  if (o.logGiven) s += " log=" + o.logPath;
  return s;
}

ParsedArguments Parse(const std::string& line) {
  Args arguments = SplitCommandLine(("x.exe " + line).c_str());
  arguments.erase(arguments.begin());
  return ParseArguments(arguments);
}

TEST(ParseArguments, ReadsEveryOptionOfEachCommand) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/install /usb USB001", "install model=0 usb=USB001 port=9100"},
      {"/INSTALL /Usb USB002 /MODEL 80", "install model=1 usb=USB002 port=9100"},
      {"/install /host 127.0.0.1 /port 9101 /model 58 /name \"front desk\" /share /default /log \"C:\\a b.log\"",
       "install model=0 host=127.0.0.1 port=9101 name=front desk share default log=C:\\a b.log"},
      {"/share /name \"\" /install /host printer.local", "install model=0 host=printer.local port=9100 name= share"},
      {"/test /host 127.0.0.1 /port 9100", "test model=0 host=127.0.0.1 port=9100"},
      {"/test /usb USB001 /log C:\\t.log", "test model=0 usb=USB001 port=9100 log=C:\\t.log"},
      {"/uninstall", "uninstall model=0 port=9100"},
      {"/log \\\\srv\\logs\\u.log /uninstall", "uninstall model=0 port=9100 log=\\\\srv\\logs\\u.log"},
      // Deployment tools' habitual switches are accepted and change nothing.
      {"/uninstall /quiet", "uninstall model=0 port=9100"},
      {"/SILENT /install /usb USB001 -quiet", "install model=0 usb=USB001 port=9100"},
      {"/status /host 127.0.0.1 /port 9101 /model 80 /name x", "status model=1 host=127.0.0.1 port=9101 name=x"},
      {"/status /usb USB001", "status model=0 usb=USB001 port=9100"},
      {"-Install -usb USB001 -name -x", "install model=0 usb=USB001 port=9100 name=-x"},
      // A value is a value, whatever it looks like: no request for help.
      {"/install /usb USB001 /name -?", "install model=0 usb=USB001 port=9100 name=-?"},
      {"/install /usb USB001 /name -help /log C:\\-?", "install model=0 usb=USB001 port=9100 name=-help log=C:\\-?"},
  };
  for (const auto& [line, described] : cases) {
    const ParsedArguments parsed = Parse(line);
    EXPECT_TRUE(parsed.ok) << line << ": " << parsed.problem;
    EXPECT_EQ(described, Described(parsed.options)) << line;
  }
}

TEST(ParseArguments, RejectsEveryMalformedLineWithItsReason) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"", "no command: /install, /test, /status or /uninstall"},
      {"/usb USB001", "no command: /install, /test, /status or /uninstall"},
      {"/install /usb USB001 /quietly", "unknown argument: /quietly"},
      // A relative /log would land in the current folder (System32 under SYSTEM).
      {"/uninstall /log u.log", "/log needs a full path (C:\\... or \\\\server\\share\\...), not u.log"},
      {"/uninstall /log C:u.log", "/log needs a full path (C:\\... or \\\\server\\share\\...), not C:u.log"},
      {"/uninstall /log \\u.log", "/log needs a full path (C:\\... or \\\\server\\share\\...), not \\u.log"},
      {"/uninstall /log ..\\u.log", "/log needs a full path (C:\\... or \\\\server\\share\\...), not ..\\u.log"},
      {"/status", "/status needs /usb PORT or /host ADDRESS"},
      {"/status /usb USB001 /default", "/status takes no /default"},
      {"/install /usb USB001 extra", "unknown argument: extra"},
      {"/install -usb USB001 /USB USB002", "/USB is given twice"},
      {"/install /usb", "/usb needs a value"},
      {"/install /name /share /usb USB001", "/name needs a value"},
      {"/install /usb USB001 /log", "/log needs a value"},
      {"/install /usb USB001 /model 76", "/model is 58 or 80, not 76"},
      {"/install /usb USB001 /name a /NAME b", "/NAME is given twice"},
      {"/install /usb USB001 /share /share", "/share is given twice"},
      {"/install /test /usb USB001", "two commands: /install and /test"},
      {"/install /install /usb USB001", "/install is given twice"},
      {"/install /usb USB001 /host 127.0.0.1", "/usb and /host together"},
      {"/install /usb USB001 /port 9100", "/port without /host"},
      {"/install /name x", "/install needs /usb PORT or /host ADDRESS"},
      {"/test", "/test needs /usb PORT or /host ADDRESS"},
      {"/test /host 127.0.0.1 /model 80", "/test takes no /model"},
      {"/test /usb USB001 /default", "/test takes no /default"},
      {"/uninstall /usb USB001", "/uninstall takes no /usb"},
      {"/uninstall /share", "/uninstall takes no /share"},
  };
  for (const auto& [line, problem] : cases) {
    const ParsedArguments parsed = Parse(line);
    EXPECT_FALSE(parsed.ok) << line;
    EXPECT_EQ(problem, parsed.problem) << line;
  }
}

// Only an option first starts the unattended mode; anything else Windows or
// a user may hand over opens the dialog. Help anywhere wins over the rest.
TEST(ParseArguments, OptionsFirstStartTheUnattendedModeAndHelpIsNoError) {
  const std::vector<std::pair<const char*, bool>> starts = {
      {"x.exe", false},
      {"x.exe \"\"", false},
      {"x.exe C:\\Users\\a\\Desktop\\receipt.txt /install", false},  // a dropped file
      {"C:\\Program Files\\Tovlan\\lumatrek-setup.exe", false},     // started without quotes
      {"x.exe /install", true},
      {"x.exe -?", true},
  };
  for (const auto& [line, unattended] : starts) EXPECT_EQ(unattended, StartsUnattended(SplitCommandLine(line))) << line;

  for (const char* line : {"/?", "-?", "/HELP", "-help", "-h", "--help", "/install /usb USB001 /?", "/bogus /?"}) {
    const ParsedArguments parsed = Parse(line);
    EXPECT_TRUE(parsed.help) << line;
  }
  EXPECT_FALSE(Parse("/help-me").help);
  EXPECT_FALSE(Parse("--h").help);
}

}  // namespace
