# A printer listening on 127.0.0.1:9100 gets the test page headed by the
# address typed and the dialog reports that the data was sent; the sample
# files are gone afterwards and the staging folder stays.
start_virtual_printer connect --port 9100
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
text IDC_PORT 9100
click IDC_CONNECT_TEST
message 提示|测试数据已发送
alive
closebox
exit 2
SCRIPT
finish_virtual_printer
expect_test_page "$PRINTER_RAW" 127.0.0.1 14081
expect_no_working_folder
