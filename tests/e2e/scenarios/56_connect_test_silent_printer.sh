# A printer that never answers (a loopback listener whose backlog is full, so
# that the system leaves a new connection unanswered): Connect Test shows the
# wait cursor while it waits, gives up after its 5 s bound with the existing
# connection failure, and the dialog answers again. Unattended, the time-out
# is named on a line of its own on the console and in the log.
start_silent_listener 127.0.0.4 9100
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.4
type IDC_PORT 9100
cursor mark
timer start
click IDC_CONNECT_TEST
cursor busy
message 错误|测试端口写入失败
timer above 4500
timer below 15000
alive
closebox
exit 2
SCRIPT
start=$SECONDS
unattended /test /host 127.0.0.4 /log 'C:\silent.log'
took=$((SECONDS - start))
expect_unattended 45 $'连接失败:10060 (WSAETIMEDOUT)\n错误: 测试端口写入失败'
[ "$took" -lt 20 ] || fail "the unattended test took $took s"
unattended_log silent.log | grep -qx '连接失败:10060 (WSAETIMEDOUT)' || fail "the log holds no time-out"
stop_silent_listener
expect_no_working_folder
