# Nothing listens on the port: the connection is refused and the dialog says
# that writing to the test port failed. An unknown ".local" name cannot be
# resolved. The sample files are removed either way.
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
type IDC_PORT 9101
click IDC_CONNECT_TEST
message 错误|测试端口写入失败
type IDC_HOST nowhere.local
click IDC_CONNECT_TEST
message 错误|打印机网址IP解析失败
alive
closebox
exit 2
SCRIPT
expect_no_working_folder
