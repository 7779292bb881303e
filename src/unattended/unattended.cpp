#include "unattended/unattended.h"

#include <cstring>

#include "common/diagnostics.h"
#include "common/message_table.h"
#include "common/messages.h"
#include "common/text_encoding.h"
#include "install/install_command.h"
#include "os/console.h"
#include "os/devices.h"
#include "os/files.h"
#include "testprint/connect_test_command.h"
#include "testprint/find_usb_port_command.h"
#include "uninstall/uninstall_command.h"
#include "unattended/arguments_form.h"
#include "unattended/command_line.h"
#include "unattended/exit_codes.h"
#include "unattended/log_file.h"
#include "unattended/status_command.h"

namespace {

// Nobody may be there to answer a window: the printer UI stays quiet and no
// wait lasts for ever. Installing a driver package can take minutes on a busy
// machine; the other programs end in seconds.
constexpr ChildRuns kUnattendedRuns{true, 10u * 60u * 1000u, 2u * 60u * 1000u};

// The output handle the parent gave us (redirected to a file or pipe), else
// the console of the parent, attached to; nothing when there is neither.
class ConsoleOutput {
 public:
  // The standard handle belongs to the process; only an attached console's
  // output is opened, and so closed, here.
  ConsoleOutput() : out_(os::GetStdHandle(os::STD_OUTPUT_HANDLE)) {
    if (!Valid(out_)) {
      out_ = nullptr;
      if (!os::AttachConsole(os::ATTACH_PARENT_PROCESS)) return;
      owned_.reset(os::CreateFileA("CONOUT$", os::GENERIC_READ | os::GENERIC_WRITE,
                                   os::FILE_SHARE_READ | os::FILE_SHARE_WRITE, nullptr, os::OPEN_EXISTING, 0, nullptr));
      if (!owned_.valid()) return;
      out_ = owned_.get();
    }
    os::DWORD mode = 0;
    console_ = os::GetConsoleMode(out_, &mode) != os::FALSE;
  }

  // A console shows UTF-16 whatever its code page; a file or pipe gets UTF-8.
  void Write(const std::string& text) {
    if (out_ == nullptr) return;
    os::DWORD written = 0;
    if (console_) {
      const WideText wide = WideFromProgramText(text);
      if (!wide.empty()) {
        os::WriteConsoleW(out_, wide.data(), static_cast<os::DWORD>(wide.size()), &written, nullptr);
        return;
      }
    }
    const std::string bytes = Utf8FromProgramText(text);
    os::WriteFile(out_, bytes.data(), static_cast<os::DWORD>(bytes.size()), &written, nullptr);
  }

 private:
  static bool Valid(os::HANDLE h) { return h != nullptr && h != os::INVALID_HANDLE_VALUE; }
  os::HANDLE out_;
  os::OwnedHandle owned_;
  bool console_ = false;
};

// The /log file (unattended/log_file.h), written line by line.
class LogFile {
 public:
  LogFile() = default;
  ~LogFile() { (void)Close(); }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  bool Open(const std::string& path, LogOpening opening) {
    bool empty = true;
    file_.reset(OpenLogFile(path, opening, &empty));
    started_ = !empty;  // a log appended to has its byte order mark already
    return file_.valid();
  }
  // UTF-8 lines, the first after a byte order mark, so that any editor on any
  // Windows reads the file right.
  void Write(const std::string& line) {
    if (!file_.valid()) return;
    const std::string text = (started_ ? "" : "\xEF\xBB\xBF") + Utf8FromProgramText(line + "\r\n");
    started_ = true;
    os::DWORD written = 0;
    if (!os::WriteFile(file_.get(), text.data(), static_cast<os::DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
      complete_ = false;
    }
  }
  // Closes the file; false when any line did not reach it (a full disk).
  // CloseHandle's own answer counts here, so the handle is let go of and
  // closed by this call rather than by the owner.
  [[nodiscard]] bool Close() {
    const os::HANDLE file = file_.release();
    if (file != nullptr && file != os::INVALID_HANDLE_VALUE && !os::CloseHandle(file)) complete_ = false;
    return complete_;
  }

 private:
  os::OwnedHandle file_;
  bool complete_ = true;
  bool started_ = false;
};

// Messages as lines on the console and in the log, in the user's language;
// steps in the log only. The first failure message decides the exit code.
class LineMessages : public MessageSink {
 public:
  LineMessages(ConsoleOutput& console, LogFile& log)
      : console_(console), log_(log), language_(UserMessageLanguage()) {}
  void Show(const std::string& text, const char* caption) override {
    Line(ShownText(caption, language_) + ": " + ShownText(text, language_));
    const bool failure = std::strcmp(caption, kCaptionError) == 0;
    if (failure && failureCode == 0) failureCode = ExitCodeForMessage(text);
    if (!failure) succeeded = true;
  }
  void Step(const char* step, const std::string& result) override { log_.Write(std::string(step) + ": " + result); }
  void Line(const std::string& text) {
    console_.Write(text + "\r\n");
    log_.Write(text);
  }

  int failureCode = 0;
  bool succeeded = false;

 private:
  ConsoleOutput& console_;
  LogFile& log_;
  const MessageLanguage language_;
};

void RunCommand(const UnattendedOptions& o, LineMessages& messages) {
  const ArgumentsForm form(o);
  switch (o.command) {
    case UnattendedCommand::Install:
      RunInstallCommand(form, messages, kUnattendedRuns);
      break;
    case UnattendedCommand::Uninstall:
      RunUninstallCommand(messages, kUnattendedRuns);
      break;
    case UnattendedCommand::Test:
      if (o.network) {
        RunConnectTest(form, messages);
      } else {
        // The USB test shows nothing when its port took the page: the port's
        // selection is the success.
        SinglePortList port(o.usbPort);
        RunFindUsbPort(port, messages);
        if (port.selected) messages.succeeded = true;
      }
      // A page that was sent may still not come out: the printer says why.
      if (messages.failureCode == 0 && messages.succeeded) messages.Step("printer status", PrinterStatusOf(form));
      break;
    case UnattendedCommand::Status: {
      const int code = RunStatusCommand(form, messages, [&messages](const std::string& text) { messages.Line(text); });
      if (code > 0) messages.failureCode = code;
      if (code == 0) messages.succeeded = true;
      break;
    }
  }
}

}  // namespace

int RunUnattended(const std::vector<std::string>& arguments) {
  ConsoleOutput console;
  const ParsedArguments parsed = ParseArguments(arguments);
  if (parsed.help) {
    console.Write(kUsageText);
    return kExitSuccess;
  }
  if (!parsed.ok) {
    console.Write("lumatrek-setup: " + parsed.problem + "\r\n" + kUsageText);
    return kExitUsage;
  }
  LogFile log;
  if (parsed.options.logGiven && !log.Open(parsed.options.logPath, LogOpening::Replace)) {
    console.Write("lumatrek-setup: cannot write the log file " + parsed.options.logPath + "\r\n");
    return kExitLogFailed;
  }
  // Without /log the run is kept anyway, where only administrators can write.
  // That log is a convenience: a run is not refused for want of it.
  std::string logPath = parsed.options.logPath;
  if (!parsed.options.logGiven) {
    logPath = DefaultLogPath();
    if (logPath.empty() || !log.Open(logPath, LogOpening::Append)) {
      const std::string where = logPath.empty() ? std::string("%SystemRoot%\\Logs\\Tovlan\\") + kDefaultLogName : logPath;
      console.Write("lumatrek-setup: cannot write the default log " + where + "\r\n");
      logPath.clear();
    }
  }
  std::string line = "command:";
  for (const std::string& argument : arguments) line += " " + argument;
  log.Write(line);

  LineMessages messages(console, log);
  // The commands' own diagnostics (a socket error) are lines of the console
  // and the log too.
  SetDiagnosticWriter([&messages](const std::string& diagnostic) { messages.Line(diagnostic); });
  RunCommand(parsed.options, messages);
  SetDiagnosticWriter(nullptr);
  int code = messages.failureCode;
  if (code == 0 && !messages.succeeded) {
    messages.Line("lumatrek-setup: the command ended without a result");
    code = kExitNoResult;
  }
  log.Write("exit code: " + std::to_string(code));
  if (!log.Close()) {
    console.Write("lumatrek-setup: the log file " + logPath + " is incomplete\r\n");
    // A run whose record was asked for and is missing has not done all it should.
    if (code == kExitSuccess && parsed.options.logGiven) code = kExitLogFailed;
  }
  return code;
}
