#include "unattended/command_line.h"

#include <cctype>
#include <initializer_list>

#include "os/files.h"

const char kUsageText[] =
    "Usage:\r\n"
    "  lumatrek-setup.exe /install (/usb PORT | /host ADDRESS [/port N]) [/model 58|80]\r\n"
    "                     [/name PRINTER] [/share] [/default] [/log FILE]\r\n"
    "  lumatrek-setup.exe /test (/usb PORT | /host ADDRESS [/port N]) [/log FILE]\r\n"
    "  lumatrek-setup.exe /uninstall [/log FILE]\r\n"
    "  lumatrek-setup.exe /status (/usb PORT | /host ADDRESS [/port N]) [/model 58|80]\r\n"
    "                     [/name PRINTER] [/log FILE]\r\n"
    "/quiet and /silent are accepted (nothing is ever shown). FILE is a full path;\r\n"
    "without /log the run is appended to %SystemRoot%\\Logs\\Tovlan\\lumatrek-setup.log.\r\n"
    "Without arguments the setup dialog opens.\r\n";

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// One argument from `p` on; `p` is left after it.
std::string NextArgument(const char*& p) {
  std::string arg;
  bool quoted = false;
  while (*p != '\0' && (quoted || !Blank(*p))) {
    if (os::IsDBCSLeadByte(static_cast<os::BYTE>(*p)) && p[1] != '\0') {
      // A double-byte character: its trail byte may be 0x5C or 0x22 and is
      // neither a backslash nor a quote mark.
      arg.append(p, 2);
      p += 2;
    } else if (*p == '\\') {
      std::size_t n = 0;
      while (*p == '\\') ++n, ++p;
      if (*p == '"') {
        arg.append(n / 2, '\\');
        if (n % 2 == 1) arg += '"', ++p;
      } else {
        arg.append(n, '\\');
      }
    } else if (*p == '"') {
      if (quoted && p[1] == '"') {
        arg += '"';
        p += 2;
      } else {
        quoted = !quoted;
        ++p;
      }
    } else {
      arg += *p++;
    }
  }
  return arg;
}

bool OptionPrefix(char c) { return c == '/' || c == '-'; }

// "C:\..." or "\\server\share\...": a path that means the same from any folder.
bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool unc = path.size() >= 3 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
                   path[2] != '\\' && path[2] != '/';
  return drive || unc;
}

// An option's name in lower case with "/" in front, whichever prefix it was
// typed with; other text lower-cased.
std::string OptionName(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!out.empty() && out[0] == '-') out[0] = '/';
  return out;
}

ParsedArguments Problem(const std::string& text) {
  ParsedArguments result;
  result.problem = text;
  return result;
}

// The first of `options` among the names given, or null.
const char* Given(const std::vector<std::string>& seen, std::initializer_list<const char*> options) {
  for (const char* option : options) {
    for (const std::string& name : seen) {
      if (name == option) return option;
    }
  }
  return nullptr;
}

bool TakesValue(const std::string& name) {
  return name == "/model" || name == "/usb" || name == "/host" || name == "/port" || name == "/name" || name == "/log";
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> arguments;
  if (commandLine == nullptr) return arguments;
  const char* p = commandLine;
  std::string program;
  if (*p == '"') {
    for (++p; *p != '\0' && *p != '"'; ++p) program += *p;
    if (*p == '"') ++p;
  }
  while (*p != '\0' && !Blank(*p)) program += *p++;
  arguments.push_back(program);
  for (;;) {
    while (Blank(*p)) ++p;
    if (*p == '\0') break;
    arguments.push_back(NextArgument(p));
  }
  return arguments;
}

bool StartsUnattended(const std::vector<std::string>& arguments) {
  return arguments.size() > 1 && !arguments[1].empty() && OptionPrefix(arguments[1][0]);
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
  // A request for help stands where an option stands: "/name -?" names a
  // printer "-?". Only options that take a value pass over the next argument.
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string name = OptionName(arguments[i]);
    if (name == "/?" || name == "/help" || name == "/h" || name == "/-help") {
      ParsedArguments help;
      help.help = true;
      return help;
    }
    if (TakesValue(name) && i + 1 < arguments.size() && arguments[i + 1].rfind('/', 0) != 0) ++i;
  }
  UnattendedOptions o;
  std::string command;  // as typed, for the messages
  std::vector<std::string> seen;  // option names, in lower case
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& typed = arguments[i];
    const std::string name = OptionName(typed);
    const bool isCommand = name == "/install" || name == "/uninstall" || name == "/test" || name == "/status";
    const bool isSwitch = name == "/share" || name == "/default" || name == "/quiet" || name == "/silent";
    const bool takesValue = TakesValue(name);
    if (!isCommand && !isSwitch && !takesValue) return Problem("unknown argument: " + typed);
    if (Given(seen, {name.c_str()}) != nullptr) return Problem(typed + " is given twice");
    seen.push_back(name);

    if (isCommand) {
      if (!command.empty()) return Problem("two commands: " + command + " and " + typed);
      command = typed;
      o.command = name == "/install" ? UnattendedCommand::Install
                  : name == "/test"   ? UnattendedCommand::Test
                  : name == "/status" ? UnattendedCommand::Status
                                      : UnattendedCommand::Uninstall;
      continue;
    }
    if (isSwitch) {
      // The mode is silent anyway: deployment tools' habitual switches change nothing.
      if (name == "/share") o.share = true;
      if (name == "/default") o.makeDefault = true;
      continue;
    }
    if (i + 1 == arguments.size() || arguments[i + 1].rfind('/', 0) == 0) {
      return Problem(typed + " needs a value");
    }
    const std::string& value = arguments[++i];
    if (name == "/model") {
      if (value != "58" && value != "80") return Problem("/model is 58 or 80, not " + value);
      o.modelIndex = value == "58" ? 0 : 1;
    } else if (name == "/usb") {
      o.usb = true;
      o.usbPort = value;
    } else if (name == "/host") {
      o.network = true;
      o.host = value;
    } else if (name == "/port") {
      o.portGiven = true;
      o.port = value;
    } else if (name == "/name") {
      o.nameGiven = true;
      o.name = value;
    } else {
      // Relative to what? The current folder of a deployment agent is System32.
      if (!IsFullPath(value)) return Problem("/log needs a full path (C:\\... or \\\\server\\share\\...), not " + value);
      o.logGiven = true;
      o.logPath = value;
    }
  }

  if (command.empty()) return Problem("no command: /install, /test, /status or /uninstall");
  if (o.usb && o.network) return Problem("/usb and /host together");
  if (o.portGiven && !o.network) return Problem("/port without /host");
  const char* unused = nullptr;
  if (o.command == UnattendedCommand::Uninstall) {
    unused = Given(seen, {"/model", "/usb", "/host", "/port", "/name", "/share", "/default"});
  } else if (!o.usb && !o.network) {
    return Problem(command + " needs /usb PORT or /host ADDRESS");
  } else if (o.command == UnattendedCommand::Test) {
    unused = Given(seen, {"/model", "/name", "/share", "/default"});
  } else if (o.command == UnattendedCommand::Status) {
    unused = Given(seen, {"/share", "/default"});
  }
  if (unused != nullptr) return Problem(command + " takes no " + unused);
  ParsedArguments result;
  result.ok = true;
  result.options = o;
  return result;
}
