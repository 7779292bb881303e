# A Chinese user (zh_CN: Chinese interface language, code page 936) reads the
# program's own Chinese texts, exactly: each message box is read back as
# UTF-16 and compared. The unattended lines are the same texts.
export LC_ALL=zh_CN.UTF-8
start_virtual_printer zh --port 9100
robot <<SCRIPT
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
type IDC_PORT 0
click IDC_CONNECT_TEST
message 错误|打印机端口格式错误(0 < port < 65536)
type IDC_PORT 9100
type IDC_HOST 1.2.3.4.5
click IDC_CONNECT_TEST
message 错误|打印机网址IP格式错误
type IDC_HOST printer.local.printer.local.1234
click IDC_CONNECT_TEST
message 错误|打印机IP格式错误
type IDC_HOST nowhere.local
click IDC_CONNECT_TEST
message 错误|打印机网址IP解析失败
type IDC_HOST 127.0.0.1
type IDC_PORT 9101
click IDC_CONNECT_TEST
message 错误|测试端口写入失败
type IDC_PORT 9100
click IDC_CONNECT_TEST
snapbox $(winpath "$E2E_OUT/logs/$SCENARIO-sent.bmp")
message 提示|测试数据已发送
type IDC_PRINTER_NAME
click IDC_INSTALL
message 错误|打印机名称错误
alive
closebox
exit 2
SCRIPT
finish_virtual_printer
keep_screenshot "$E2E_OUT/logs/$SCENARIO-sent.bmp" "$SCENARIO-sent"
unattended /test /host 127.0.0.1 /port 9101
expect_unattended 45 $'连接失败:10061 (WSAECONNREFUSED)\n错误: 测试端口写入失败'
unattended /install /host 127.0.0.1 /port 0
expect_unattended 30 '错误: 打印机端口格式错误(0 < port < 65536)'
expect_no_working_folder
# The prefix really ran in code page 936.
expect_ansi_code_page 936
