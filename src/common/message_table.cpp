#include "common/message_table.h"

#include "os/system_info.h"

namespace {

// One line per text; tests/docs/check_messages.py reads the English column
// from here.
constexpr MessageText kMessageTexts[] = {
    {MessageId::CaptionError, "错误", "Error"},
    {MessageId::CaptionNotice, "提示", "Notice"},
    {MessageId::EnumPortsFailed, "枚举端口失败", "Cannot list the ports"},
    {MessageId::AllocFailed, "申请内存失败", "Out of memory"},
    {MessageId::UnpackFolderFailed, "创建解压目录失败", "Cannot create the unpacking folder"},
    {MessageId::InstallExportFailed, "导出安装资源失败", "Cannot export the installation files"},
    {MessageId::InstallExtractFailed, "解压资源文件失败", "Cannot unpack the installation files"},
    {MessageId::PrinterNameWrong, "打印机名称错误", "Invalid printer name"},
    {MessageId::UsbPortNameWrong, "打印机USB端口名称错误", "Invalid printer USB port name"},
    {MessageId::PrinterModelWrong, "打印机型号错误", "Wrong printer model"},
    {MessageId::AddressLengthWrong, "打印机IP格式错误", "Invalid printer IP format"},
    {MessageId::AddressFormWrong, "打印机网址IP格式错误", "Invalid printer address or IP format"},
    {MessageId::PortWrong, "打印机端口格式错误(0 < port < 65536)", "Invalid printer port (0 < port < 65536)"},
    {MessageId::AddPortFailed, "添加打印机端口失败", "Cannot add the printer port"},
    {MessageId::InstallFailed, "打印机与驱动安装失败", "Printer and driver installation failed"},
    {MessageId::SetDefaultFailed, "设置默认打印机失败", "Cannot set the default printer"},
    {MessageId::Installed, "打印机驱动设备已完成安装", "The printer driver and printer are installed"},
    {MessageId::ResolveFailed, "打印机网址IP解析失败", "Cannot resolve the printer address"},
    {MessageId::TestFolderFailed, "创建测试资源解压目录失败", "Cannot create the test files' unpacking folder"},
    {MessageId::TestExportFailed, "导出测试资源失败", "Cannot export the test files"},
    {MessageId::TestExtractFailed, "解压测试资源失败", "Cannot unpack the test files"},
    {MessageId::TestDataSent, "测试数据已发送", "Test data sent"},
    {MessageId::TestPortWriteFailed, "测试端口写入失败", "Writing to the test port failed"},
    {MessageId::MallocSubKeyName, "malloc subKeyName err.", "malloc subKeyName err."},
    {MessageId::OpenBaseKey, "RegOpenKeyA baseKeyName err.", "RegOpenKeyA baseKeyName err."},
    {MessageId::Uninstalled, "驱动卸载完成", "Driver uninstalled"},
    {MessageId::UninstallFailed, "驱动卸载失败，请重启计算机后重试！", "Driver uninstall failed. Restart the computer and try again!"},
    {MessageId::ConnectFailed, "连接失败", "Connection failed"},
};

}  // namespace

const MessageText* FindMessage(const std::string& text) {
  for (const MessageText& entry : kMessageTexts) {
    if (text == entry.chinese) return &entry;
  }
  return nullptr;
}

MessageLanguage UserMessageLanguage() {
  return os::PrimaryLanguageOf(os::GetUserDefaultUILanguage()) == os::LANG_CHINESE ? MessageLanguage::Chinese
                                                                                    : MessageLanguage::English;
}

std::string ShownText(const std::string& text, MessageLanguage language) {
  const MessageText* entry = FindMessage(text);
  if (entry == nullptr) return text;
  return language == MessageLanguage::English ? entry->english : entry->chinese;
}
