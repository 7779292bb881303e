# An English user (en_US: English interface language, code page 1252) reads
# the English texts, as readable as the Chinese ones elsewhere: each message
# box is read back as UTF-16 and compared; the unattended lines are English too.
export LC_ALL=en_US.UTF-8
start_virtual_printer en --port 9100
robot <<SCRIPT
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
type IDC_PORT 0
click IDC_CONNECT_TEST
message Error|Invalid printer port (0 < port < 65536)
type IDC_PORT 9100
type IDC_HOST 1.2.3.4.5
click IDC_CONNECT_TEST
message Error|Invalid printer address or IP format
type IDC_HOST printer.local.printer.local.1234
click IDC_CONNECT_TEST
message Error|Invalid printer IP format
type IDC_HOST nowhere.local
click IDC_CONNECT_TEST
message Error|Cannot resolve the printer address
type IDC_HOST 127.0.0.1
type IDC_PORT 9101
click IDC_CONNECT_TEST
message Error|Writing to the test port failed
type IDC_PORT 9100
click IDC_CONNECT_TEST
snapbox $(winpath "$E2E_OUT/logs/$SCENARIO-sent.bmp")
message Notice|Test data sent
type IDC_PRINTER_NAME
click IDC_INSTALL
message Error|Invalid printer name
alive
closebox
exit 2
SCRIPT
finish_virtual_printer
keep_screenshot "$E2E_OUT/logs/$SCENARIO-sent.bmp" "$SCENARIO-sent"
unattended /test /host 127.0.0.1 /port 9101
expect_unattended 45 $'Connection failed:10061 (WSAECONNREFUSED)\nError: Writing to the test port failed'
unattended /install /host 127.0.0.1 /port 0
expect_unattended 30 'Error: Invalid printer port (0 < port < 65536)'
expect_no_working_folder
# The prefix really ran in code page 1252.
expect_ansi_code_page 1252
