# A rejected port or address shows its message before anything is staged:
# no working folder is made, and the sample files an older version left in
# its fixed "lumatrek" folder are not the program's to touch. Nothing is sent.
old="$(product_folder)/lumatrek"
mkdir -p "$old"
echo old >"$old/sample.bmp"
echo old >"$old/sample.zip"
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
expect_no_working_folder
[ "$(cat "$old/sample.bmp")" = old ] || fail "the old staging folder was touched"
