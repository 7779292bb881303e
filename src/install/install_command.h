// "Install": stages the driver package, checks the form, registers the TCP/IP
// port of a network printer, installs driver and printer with the system's
// printer installation tool, optionally makes the printer the default one,
// confirms each step through the spooler, reports once and removes the
// staged files.
#pragma once
#include <string>

#include "common/form_validation.h"
#include "common/messages.h"
#include "common/setup_form.h"
#include "process/child_runs.h"

inline constexpr const char kMsgUnpackFolderFailed[] = "创建解压目录失败";
inline constexpr const char kMsgInstallExportFailed[] = "导出安装资源失败";
inline constexpr const char kMsgInstallExtractFailed[] = "解压资源文件失败";
inline constexpr const char kMsgAddPortFailed[] = "添加打印机端口失败";
inline constexpr const char kMsgInstallFailed[] = "打印机与驱动安装失败";
inline constexpr const char kMsgSetDefaultFailed[] = "设置默认打印机失败";
inline constexpr const char kMsgInstalled[] = "打印机驱动设备已完成安装";

// Where Install puts the printer, as the form gives it.
struct InstallTarget {
  std::string printerName;
  std::string port;              // the USB port's name, or the printer's address
  int portNumber = 0;            // a network printer's port number
  AddressCheck address = AddressCheck::RejectedByForm;  // what the address is
};
// The form's printer name and connection judged as Install judges them, in
// its order: null with `target` filled, or the message of the first that fails.
[[nodiscard]] const char* ReadInstallTarget(const SetupForm& form, InstallTarget& target);

// The arguments of "rundll32" that install the printer of the model at
// `modelIndex` (common/printer_models.h); an index that names no model installs
// the 80 mm model.
std::string PrinterInstallArguments(int modelIndex, const std::string& payloadFolder, const std::string& port,
                                    const std::string& printerName, bool share);
// The arguments of "rundll32" that make the printer the default printer.
std::string DefaultPrinterArguments(const std::string& printerName);

// Runs the whole command, starting the printer UI as `runs` says; shows
// exactly one message of its own (the USB device check may show its registry
// message first). The installed printer counts only on the model's driver and
// the port given. A failure takes back the certificates this run added to the
// machine's stores (not those an earlier run added); nothing else is undone.
void RunInstallCommand(const SetupForm& form, MessageSink& messages, const ChildRuns& runs = ChildRuns{});
