// The unattended mode's command line: split into arguments as Windows
// programs split theirs, then read into one command with its options.
#pragma once
#include <string>
#include <vector>

// Splits a command line by the rules of CommandLineToArgvW and the C runtime:
// the program name runs to the first blank (or between quote marks, taken
// literally); after it, blanks separate arguments outside quote marks,
// 2n backslashes before a quote mark stand for n and the mark opens or closes
// a quoted part, 2n+1 stand for n and a literal quote mark, other backslashes
// are literal, and "" inside a quoted part is a literal quote mark.
std::vector<std::string> SplitCommandLine(const char* commandLine);

enum class UnattendedCommand { Install, Uninstall, Test, Status };

// One command and its options. Values are kept as typed; the form rules of
// the commands judge them, as they judge what is typed into the dialog.
struct UnattendedOptions {
  UnattendedCommand command = UnattendedCommand::Install;
  int modelIndex = 0;  // /model 58 -> 0, /model 80 -> 1
  bool usb = false;    // /usb PORT given
  std::string usbPort;
  bool network = false;  // /host ADDRESS given
  std::string host;
  bool portGiven = false;
  std::string port = "9100";  // the dialog's default
  bool nameGiven = false;
  std::string name;
  bool share = false;
  bool makeDefault = false;
  bool logGiven = false;
  std::string logPath;
};

struct ParsedArguments {
  bool help = false;  // /?, -?, /help, -h or --help: print the usage and end successfully
  bool ok = false;
  std::string problem;  // what is wrong with the line, when not ok
  UnattendedOptions options;
};

// True when `arguments` (the program name first) ask for the unattended
// mode: the first argument after the program name begins with "/" or "-".
// Anything else (a file dropped on the program, "", the tail of an unquoted
// path with a blank) is a start without arguments, which opens the dialog.
[[nodiscard]] bool StartsUnattended(const std::vector<std::string>& arguments);

// Reads the arguments after the program name. Option names begin with "/" or
// "-" and are matched without regard to case; /?, -?, /help, -h or --help
// anywhere asks for the usage (help) and nothing else is judged. /quiet and
// /silent are accepted and change nothing. Fails on an unknown argument, a
// missing value (a value may not begin with "/"), an option given twice, no
// command or two, /usb with /host, /port without /host, options the command
// does not use, and a /log path that is not a full one (drive or UNC).
[[nodiscard]] ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// What the program prints when the command line is not understood.
extern const char kUsageText[];
