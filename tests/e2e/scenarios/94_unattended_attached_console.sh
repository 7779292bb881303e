# Started as Windows starts a GUI program from a console window (detached: no
# console and no standard handles of its own), the program attaches to the
# console of its parent and writes its message there; the exit code reaches
# the parent. The console is a terminal, so Wine draws it with escape codes.
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_1234&PID_0002#SER002' 2
out=$E2E_OUT/logs/$SCENARIO.terminal
status=0
script -qec "wine $(printf '%q' "$E2E_BIN/detached.exe") $(printf '%q' "$EXE") /install /usb USB002" /dev/null \
  >"$out" 2>&1 || status=$?
# What the terminal shows: escape codes removed, cursor moves read as blanks.
shown=$(sed -e 's/\x1b\[[0-9]*C/ /g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$out" | tr -d '\r')
printf '%s\n' "$shown"
[ "$status" -eq 27 ] || fail "exit code $status where 27 was expected"
grep -qx '错误: *打印机型号错误' <<<"$shown" || fail "the message did not reach the console"
