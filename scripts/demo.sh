# The walk-through of the README, played without a display (sourced by
# scripts/run.sh inside a private network namespace, after the build): the
# virtual printer listens on 127.0.0.1:9100, the dialog opens on a virtual
# display, "Network Printer" is chosen, 127.0.0.1 typed and "Connect Test"
# pressed, by the end-to-end robot (tests/e2e/lib.sh). It keeps three
# pictures in $BUILD_DIR/demo/ and prints their paths: the dialog before the
# test, the notice the test shows, and the page the printer received.
# Expects from run.sh: BUILD_DIR, DEMO_BITS, the Wine environment, the
# commands wine, wineserver and wineboot, prepare_prefix and
# say_why_usb_list_is_empty.

run_demo() {
  local root out display
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  out=$BUILD_DIR/demo
  rm -rf "$out"
  mkdir -p "$out/logs"

  # Only loopback exists in here, and /etc/hosts is our own.
  ip link set lo up
  printf '127.0.0.1 localhost\n127.0.0.2 printer.local\n' >"$out/hosts"
  mount --bind "$out/hosts" /etc/hosts

  # A display number that no other X server holds.
  display=88
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  echo "No display: the demonstration runs on a virtual one (Xvfb :$display)." >&2
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$out/logs/xvfb.log" 2>&1 &
  DEMO_XVFB=$!
  DEMO_PRINTER=
  trap demo_cleanup EXIT
  export DISPLAY=:$display
  sleep 1

  prepare_prefix
  say_why_usb_list_is_empty

  local printer_log=$out/logs/virtual_printer.log i
  "$BUILD_DIR/native/tools/virtual_printer/virtual_printer" --port 9100 --out "$out/page.png" \
    --raw "$out/logs/page.bin" >"$printer_log" 2>&1 &
  DEMO_PRINTER=$!
  for i in $(seq 100); do
    grep -qs '^listening on' "$printer_log" && break
    kill -0 "$DEMO_PRINTER" 2>/dev/null || break
    sleep 0.1
  done
  grep -qs '^listening on' "$printer_log" || { cat "$printer_log" >&2; echo "The virtual printer did not start." >&2; exit 1; }
  echo "The virtual printer listens on 127.0.0.1:9100; the robot chooses Network Printer, types 127.0.0.1 and presses Connect Test." >&2

  # The robot of the end-to-end suite; its log goes to $out/logs/.
  # shellcheck source=../tests/e2e/lib.sh
  source "$root/tests/e2e/lib.sh"
  E2E_ROOT=$root E2E_BIN=$BUILD_DIR/win$DEMO_BITS E2E_OUT=$out SCENARIO=demo
  EXE=$(winpath "$E2E_BIN/lumatrek-setup.exe")
  robot >&2 <<'SCRIPT'
launch @EXE@
quiet 500
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
text IDC_PORT 9100
sleep 300
snap @OUT@/dialog.bmp
click IDC_CONNECT_TEST
snapbox @OUT@/notice.bmp
message 提示|测试数据已发送
closebox
exit 2
SCRIPT

  for i in $(seq 300); do
    kill -0 "$DEMO_PRINTER" 2>/dev/null || break
    sleep 0.1
  done
  local status=0
  wait "$DEMO_PRINTER" || status=$?
  DEMO_PRINTER=
  [ "$status" -eq 0 ] && [ -s "$out/page.png" ] ||
    { cat "$printer_log" >&2; echo "The virtual printer rendered no page (status $status)." >&2; exit 1; }
  convert "$out/logs/dialog.bmp" "$out/dialog.png"
  convert "$out/logs/notice.bmp" "$out/notice.png"
  wineserver -w
  echo "The demonstration's pictures (the $DEMO_BITS-bit program; $LUMATREK_MACHINE):"
  echo "  the dialog, Network Printer at 127.0.0.1:  $out/dialog.png"
  echo "  the notice after Connect Test:             $out/notice.png"
  echo "  the test page the printer received:        $out/page.png"
}

# Ends what the demonstration started, by process id.
demo_cleanup() {
  if [ -n "${DEMO_PRINTER:-}" ]; then kill "$DEMO_PRINTER" 2>/dev/null || true; fi
  kill "$DEMO_XVFB" 2>/dev/null || true
}
