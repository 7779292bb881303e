# A rejected port or address shows its message before anything is staged;
# sample files left by an earlier run are removed all the same, and the
# staging folder stays. Nothing is sent.
mkdir -p "$(staging_folder)"
echo old >"$(staging_folder)/sample.bmp"
echo old >"$(staging_folder)/sample.zip"
start_virtual_printer rejected --port 9100
robot <<'SCRIPT'
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
text IDC_HOST printer.local.printer.local.1234
closebox
exit 2
SCRIPT
stop_virtual_printer
[ ! -s "$PRINTER_RAW" ] || fail "something was sent"
[ -d "$(staging_folder)" ] || fail "the staging folder is gone"
[ ! -e "$(staging_folder)/sample.bmp" ] || fail "sample.bmp left behind"
[ ! -e "$(staging_folder)/sample.zip" ] || fail "sample.zip left behind"
