# A ".local" name is resolved (the private hosts file maps printer.local to
# 127.0.0.2): the page goes to that address and is headed by it, not by the name.
start_byte_sink 127.0.0.2 9100 "$E2E_OUT/logs/$SCENARIO.bin"
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST printer.local
click IDC_CONNECT_TEST
message 提示|测试数据已发送
closebox
exit 2
SCRIPT
finish_byte_sink
expect_test_page "$E2E_OUT/logs/$SCENARIO.bin" 127.0.0.2 14081
