# Helpers for the end-to-end scenarios (sourced by run.sh inside the private
# namespace). Each scenario runs in a subshell with its own Wine prefix.

winpath() { printf 'Z:%s' "${1//\//\\}"; }

begin_scenario() {
  SCENARIO=$1
  export WINEPREFIX=$E2E_OUT/prefixes/$SCENARIO
  # The 64-bit prefix, unless the scenario asks for a system of the program's
  # own architecture and the program is the 32-bit one.
  local template=$E2E_TEMPLATE64
  if [ "${E2E_ARCH:-64}" = 32 ] && grep -qs '^# prefix: native' "${E2E_SCENARIO_FILE:-}"; then
    template=$E2E_TEMPLATE32
  fi
  cp -a "$template" "$WINEPREFIX"
  EXE=$(winpath "$E2E_BIN/lumatrek-setup.exe")
  echo "== $SCENARIO"
}

end_scenario() {
  wineserver -w
  echo "== $SCENARIO passed"
}

fail() {
  echo "FAIL: $*"
  # What the stand-ins saw, when a scenario used them.
  local log
  for log in "$WINEPREFIX"/drive_c/e2e/*/log.txt "$WINEPREFIX"/drive_c/e2e/*/spooler.txt; do
    [ -f "$log" ] && { echo "--- ${log#$WINEPREFIX/}"; cat "$log"; }
  done
  exit 1
}

# The prefix's ANSI code page (as Wine sets it from LC_ALL) is CODE: 936 for
# zh_CN, 1252 for en_US, where GBK bytes given to MessageBoxA would not read.
expect_ansi_code_page() {
  local acp
  acp=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *ACP *REG_SZ *//p')
  [ "$acp" = "$1" ] || fail "the ANSI code page is '$acp', not $1"
}

# Adds a spooler port (a value under the spooler's Ports key).
add_spooler_port() {
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports' /v "$1" /t REG_SZ /d "" /f >/dev/null 2>&1
}

# The robot steps that take a control as their first word. Scripts name the
# control by its id in resources/resource.h (click IDC_INSTALL); "exit" may
# name the id that the dialog returns (exit IDC_QUIT). A "style" step names
# the style it expects in resource.h's and the platform's names
# (style IDC_INSTALL STYLE_PUSH_BUTTON).
ROBOT_CONTROL_STEPS="text enabled checked style items selected focus click choose open close type key picture
watchfree exit"

# Puts the numbers in: reads a robot script on standard input, writes it with
# every control name replaced by its id from resource.h (RESOURCE_H, by
# default the repository's) and every style expression by its value as
# robot.exe reads it (8 hex digits, worked out by the cross compiler's
# preprocessor over <windows.h> and resource.h). A control given as a bare
# number, a name that resource.h does not define, or a style given as a number
# or that does not work out is reported on standard error and fails.
ROBOT_IDS_PY=$(cat <<'PY'
import re, subprocess, sys
header, steps = sys.argv[1], set(sys.argv[2].split())
ids = dict(re.findall(r"(?m)^#define +(ID[A-Z0-9_]+) +(-?[0-9]+) *$", open(header).read()))
lines = sys.stdin.read().split("\n")
bad = False
def complain(word, line):
    global bad
    sys.stderr.write('robot script: "%s" in "%s" is no name of %s\n' % (word, line, header))
    bad = True
styles = []  # (line index, expression)
for n, line in enumerate(lines):
    m = re.match(r"^( *)([a-z]+) +(\S+)(.*)$", line)
    if not m or m.group(2) not in steps:
        continue
    indent, verb, word, rest = m.groups()
    if word in ids:
        lines[n] = indent + verb + " " + ids[word] + rest
        if verb == "style":
            styles.append((n, rest.strip()))
    elif not (verb == "exit" and re.fullmatch(r"-?[0-9]+", word)):
        complain(word, line)
for n, expression in list(styles):
    if not re.search(r"[A-Za-z_]", expression):  # a bare number
        complain(expression, lines[n])
        styles.remove((n, expression))
if styles:
    source = '#include <windows.h>\n#include "%s"\n' % header
    source += "".join("robot_value_%d = %s\n" % (n, e) for n, e in styles)
    cpp = subprocess.run(["x86_64-w64-mingw32-gcc", "-E", "-P", "-x", "c", "-"], input=source,
                         capture_output=True, text=True)
    values = dict(re.findall(r"(?m)^robot_value_(\d+) = (.*)$", cpp.stdout))
    for n, expression in styles:
        text = re.sub(r"\b(0[xX][0-9a-fA-F]+|[0-9]+)[uUlL]*\b", r"\1", values.get(str(n), ""))
        if not re.fullmatch(r"[0-9a-fA-FxX|&~() ]+", text or "?"):
            complain(expression, lines[n])
            continue
        head = lines[n][: len(lines[n]) - len(lines[n].lstrip())] + " ".join(lines[n].split()[:2])
        lines[n] = head + " %08X" % (eval(text) & 0xFFFFFFFF)
sys.stdout.write("\n".join(lines))
sys.exit(1 if bad else 0)
PY
)

robot_with_ids() {
  local header=${RESOURCE_H:-$E2E_ROOT/resources/resource.h}
  [ -f "$header" ] || { echo "no $header" >&2; return 1; }
  python3 -c "$ROBOT_IDS_PY" "$header" "$ROBOT_CONTROL_STEPS"
}

# Plays the robot script on standard input; "@EXE@" stands for the program
# and "@OUT@" for the log folder. Controls are named (see robot_with_ids). A
# failed step fails the scenario.
robot() {
  local script=$E2E_OUT/logs/$SCENARIO.robot
  local result=$E2E_OUT/logs/$SCENARIO.robot.log
  local text
  text=$(robot_with_ids) || fail "the robot script names an unknown control"
  text=${text//@EXE@/$EXE}
  text=${text//@OUT@/$(winpath "$E2E_OUT/logs")}
  printf '%s\n' "$text" > "$script"
  rm -f "$result"
  local status=0
  wine "$E2E_BIN/robot.exe" "$(winpath "$script")" "$(winpath "$result")" >/dev/null 2>&1 || status=$?
  cat "$result" 2>/dev/null || echo "(the robot wrote no log)"
  [ "$status" -eq 0 ] || fail "robot steps failed (status $status)"
}

# Converts a robot snapshot (BMP) to PNG under build/e2e/screenshots.
keep_screenshot() {
  convert "$1" "$E2E_OUT/screenshots/$2.png" || fail "no screenshot $1"
}

# Puts our pnputil stand-in into the prefix (system32 and syswow64) with its
# script folder C:\e2e\pnputil: write listing.txt (printed for "-e") and
# exitcodes.txt ("NAME CODE" lines) there; every command line is logged to
# log.txt (read it with pnputil_log).
install_pnputil() {
  local windows=$WINEPREFIX/drive_c/windows
  cp "$E2E_BIN/pnputil.exe" "$windows/system32/pnputil.exe"
  [ ! -d "$windows/syswow64" ] || cp "$E2E_BIN/pnputil.exe" "$windows/syswow64/pnputil.exe"
  PNPUTIL_DIR=$WINEPREFIX/drive_c/e2e/pnputil
  mkdir -p "$PNPUTIL_DIR"
  : > "$PNPUTIL_DIR/log.txt"
}

pnputil_log() { cat "$PNPUTIL_DIR/log.txt"; }

# The native spooler driver folder of the prefix (x64 in a 64-bit prefix).
driver_folder() {
  if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3"
  else
    printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86/3"
  fi
}

# The spooler environment that the program's null environment stands for:
# "Windows NT x86" for the 32-bit program (under Wine, in either prefix),
# "Windows x64" for the 64-bit one.
program_environment() {
  if [ "${E2E_ARCH:-64}" = 32 ]; then printf 'Windows NT x86'; else printf 'Windows x64'; fi
}

# The resource compiler of the program's architecture, which reads its
# resources back.
program_windres() {
  if [ "${E2E_ARCH:-64}" = 32 ]; then printf 'i686-w64-mingw32-windres'; else printf 'x86_64-w64-mingw32-windres'; fi
}

# Registers a printer driver the way the spooler keeps it (a key under the
# environment's Version-3 drivers), so that EnumPrinterDriversA lists it; as
# on Windows, which always lists its inbox drivers. ENV defaults to the
# program's own environment.
add_printer_driver() {
  local name=$1 env=${2:-$(program_environment)}
  local key="HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\$env\\Drivers\\Version-3\\$name"
  wine reg add "$key" /v Version /t REG_DWORD /d 3 /f >/dev/null 2>&1
  wine reg add "$key" /v Driver /t REG_SZ /d unidrv.dll /f >/dev/null 2>&1
  wine reg add "$key" /v "Data File" /t REG_SZ /d "$name.gpd" /f >/dev/null 2>&1
  wine reg add "$key" /v "Configuration File" /t REG_SZ /d unidrvui.dll /f >/dev/null 2>&1
}

# Whether the spooler's registry still holds driver NAME (ENV as above).
has_printer_driver() {
  local name=$1 env=${2:-$(program_environment)}
  wine reg query "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\$env\\Drivers\\Version-3\\$name" \
    >/dev/null 2>&1
}

# ---- Test prints: printers that listen, USB devices, received pages ----

# The native build next to the Windows one: the virtual printer, the page
# composer and the generated sample picture.
native_build() { printf '%s' "$(dirname "$E2E_BIN")/native"; }

# Starts the virtual printer in the background for one job, keeping the bytes
# in PRINTER_RAW and the paper in screenshots/SCENARIO-NAME.png; ARGS are its
# source (--port N or --input PATH) and any other options. With --port it
# returns once the printer listens. Sets PRINTER_PID.
start_virtual_printer() {
  local name=$1
  shift
  PRINTER_RAW=$E2E_OUT/logs/$SCENARIO-$name.bin
  PRINTER_LOG=$E2E_OUT/logs/$SCENARIO-$name.printer.log
  rm -f "$PRINTER_RAW"
  "$(native_build)/tools/virtual_printer/virtual_printer" "$@" --raw "$PRINTER_RAW" \
    --out "$E2E_OUT/screenshots/$SCENARIO-$name.png" >"$PRINTER_LOG" 2>&1 &
  PRINTER_PID=$!
  if [[ " $* " == *" --port "* ]]; then
    local i
    for i in $(seq 100); do
      grep -qs '^listening on' "$PRINTER_LOG" && return 0
      kill -0 "$PRINTER_PID" 2>/dev/null || break
      sleep 0.1
    done
    cat "$PRINTER_LOG"
    stop_virtual_printer
    fail "the virtual printer did not start listening"
  fi
}

# Ends the virtual printer started above, by its process id.
stop_virtual_printer() {
  if [ -n "${PRINTER_PID:-}" ] && kill -0 "$PRINTER_PID" 2>/dev/null; then
    kill "$PRINTER_PID" 2>/dev/null || true
    wait "$PRINTER_PID" 2>/dev/null || true
  fi
  PRINTER_PID=
}

# Waits (up to 30 s) for the virtual printer to finish its job; a printer that
# got no job by then is stopped and fails the scenario.
finish_virtual_printer() {
  local i
  for i in $(seq 300); do
    kill -0 "$PRINTER_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$PRINTER_PID" 2>/dev/null; then
    stop_virtual_printer
    fail "the virtual printer got no job"
  fi
  local status=0
  wait "$PRINTER_PID" || status=$?
  PRINTER_PID=
  cat "$PRINTER_LOG"
  [ "$status" -eq 0 ] || fail "the virtual printer ended with $status"
}

# Starts a listener on ADDRESS:PORT (any loopback address, where the virtual
# printer binds 127.0.0.1 only) that keeps the bytes of one connection in
# FILE; returns once it listens. Sets SINK_PID.
start_byte_sink() {
  local address=$1 port=$2 file=$3 ready=$E2E_OUT/logs/$SCENARIO-sink.ready
  rm -f "$file" "$ready"
  LC_ALL=C python3 - "$address" "$port" "$file" "$ready" <<'PY' &
import socket, sys
address, port, path, ready = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
if not address.startswith("127."):
    sys.exit("loopback addresses only")
server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.bind((address, port))
server.listen(1)
open(ready, "w").close()
connection, _ = server.accept()
with open(path, "wb") as out:
    while True:
        chunk = connection.recv(65536)
        if not chunk:
            break
        out.write(chunk)
PY
  SINK_PID=$!
  local i
  for i in $(seq 100); do
    [ -e "$ready" ] && return 0
    sleep 0.1
  done
  kill "$SINK_PID" 2>/dev/null || true
  fail "the byte sink on $address:$port did not start"
}

# Starts a listener on loopback ADDRESS:PORT that never accepts: its backlog
# (listen(1)) is filled with connections nobody accepts, so that a further
# connection is never answered (Linux drops its SYNs and retries for minutes):
# the silent printer. Returns once the backlog is full. Sets SILENT_PID.
start_silent_listener() {
  local address=$1 port=$2 ready=$E2E_OUT/logs/$SCENARIO-silent.ready
  rm -f "$ready"
  LC_ALL=C python3 - "$address" "$port" "$ready" <<'PY' &
import socket, sys, time
address, port, ready = sys.argv[1], int(sys.argv[2]), sys.argv[3]
if not address.startswith("127."):
    sys.exit("loopback addresses only")
server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.bind((address, port))
server.listen(1)
held = []
while len(held) < 16:
    client = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    client.settimeout(1.0)
    try:
        client.connect((address, port))
    except OSError:  # not answered: the backlog is full
        client.close()
        break
    held.append(client)
else:
    sys.exit("the backlog never filled")
open(ready, "w").close()
while True:
    time.sleep(60)
PY
  SILENT_PID=$!
  local i
  for i in $(seq 100); do
    [ -e "$ready" ] && return 0
    kill -0 "$SILENT_PID" 2>/dev/null || break
    sleep 0.1
  done
  stop_silent_listener
  fail "the silent listener on $address:$port did not fill its backlog"
}

# Ends the silent listener started above, by its process id.
stop_silent_listener() {
  if [ -n "${SILENT_PID:-}" ] && kill -0 "$SILENT_PID" 2>/dev/null; then
    kill "$SILENT_PID" 2>/dev/null || true
    wait "$SILENT_PID" 2>/dev/null || true
  fi
  SILENT_PID=
}

# Waits (up to 30 s) for the byte sink to take its connection to the end.
finish_byte_sink() {
  local i
  for i in $(seq 300); do
    kill -0 "$SINK_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$SINK_PID" 2>/dev/null; then
    kill "$SINK_PID" 2>/dev/null || true
    wait "$SINK_PID" 2>/dev/null || true
    fail "the byte sink got no connection"
  fi
  wait "$SINK_PID" || fail "the byte sink failed"
}

# FILE holds exactly the test page headed HEADING: BYTES long, starting with
# ESC @, ESC a 1 and the heading, and equal to the page that the composer
# makes from the generated sample picture.
expect_test_page() {
  local file=$1 heading=$2 bytes=$3
  [ -f "$file" ] || fail "no page in $file"
  local size
  size=$(stat -c %s "$file")
  [ "$size" -eq "$bytes" ] || fail "$file holds $size bytes, not $bytes"
  local want got
  want=$(printf '\033@\033a\001%s\n' "$heading" | od -An -tx1)
  got=$(head -c $((6 + ${#heading})) "$file" | od -An -tx1)
  [ "$got" = "$want" ] || fail "$file is not headed '$heading':$got"
  local reference=$E2E_OUT/logs/$SCENARIO-reference.bin
  "$(native_build)/tools/virtual_printer/compose_test_page" "$(native_build)/generated/sample.bmp" \
    "$heading" "$reference" >/dev/null || fail "could not compose the reference page"
  cmp "$reference" "$file" || fail "$file differs from the test page headed '$heading'"
  echo "page of $size bytes headed '$heading' in $file"
}

# Renders the job in FILE on the virtual printer into screenshots/NAME.png.
render_page() {
  "$(native_build)/tools/virtual_printer/virtual_printer" --input "$1" \
    --out "$E2E_OUT/screenshots/$2.png" || fail "the virtual printer could not render $1"
}

# The product folder in the prefix, where each command makes its working
# folder "lumatrek.<32 random hex digits>".
product_folder() { printf '%s' "$WINEPREFIX/drive_c/ProgramData/Tovlan"; }
# The fallback product folder in the Windows folder.
windows_product_folder() { printf '%s' "$WINEPREFIX/drive_c/windows/Tovlan"; }

# Makes FOLDER (with missing parents) as the program makes its own folders,
# as Wine keeps them: its access list (SYSTEM and the Administrators only)
# reads back from the Unix mode 0700 as SYSTEM and the running account. A
# folder of mode 0755 reads back with an entry for Everyone: not the
# program's, so a Tovlan like that is never entered.
make_own_folder() { mkdir -p "$1" && chmod 700 "$1"; }

# TEXT with every working folder's name (exactly 32 hex digits) written
# "lumatrek.<random>", so that expectations can name it.
unrandomised() { sed -E 's/lumatrek\.[0-9a-f]{32}/lumatrek.<random>/g'; }

# The working folders (anything named like one) in the product folder.
working_folders() {
  find "$(product_folder)" -regextype posix-extended -mindepth 1 -maxdepth 1 -type d -regex '.*/lumatrek\.[0-9a-f]{32}' \
    2>/dev/null | sort
}

# No working folder is left: each command removed its own.
expect_no_working_folder() {
  local left
  left=$(working_folders)
  [ -z "$left" ] || fail "a working folder was left: $left"
}

# Registers a USB printer interface for device INSTANCE (as in
# USB#VID_4B9E&PID_0001#SER001) whose spooler port has number PORT.
add_usb_printer_interface() {
  local instance=$1 port=$2 class='{28d78fad-5a12-11d1-ae5b-0000f803a8c2}'
  local key="HKLM\\SYSTEM\\ControlSet001\\Control\\DeviceClasses\\$class\\##?#$instance#$class\\#\\Device Parameters"
  wine reg add "$key" /v "Port Number" /t REG_DWORD /d "$port" /f >/dev/null 2>&1 \
    || fail "could not add the interface of $instance"
}

# Makes the USB device INSTANCE openable: a link in the prefix's dosdevices
# folder, named as its lower-case device path, to the (new, empty) FILE that
# receives what is written to it.
add_usb_device() {
  local instance=$1 file=$2
  local name="$instance#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
  : >"$file"
  ln -sfn "$file" "$WINEPREFIX/dosdevices/${name,,}"
}

# ---- Installation: the printer UI stand-in and the registered ports ----

# Puts our rundll32 stand-in over the prefix's rundll32 (system32 and
# syswow64), with its script folder C:\e2e\rundll32 (RUNDLL32_DIR): write
# answers.txt there ("VERB CODE" lines for /if, /y, /dl; 0 otherwise). Each
# start is logged to log.txt as "FOLDER|COMMAND LINE" (rundll32_log); for /if
# the folder it ran in is copied to seen/ and the "/f" file to given.inf.
install_rundll32() {
  local windows=$WINEPREFIX/drive_c/windows
  cp "$E2E_BIN/rundll32_standin.exe" "$windows/system32/rundll32.exe"
  [ ! -d "$windows/syswow64" ] || cp "$E2E_BIN/rundll32_standin.exe" "$windows/syswow64/rundll32.exe"
  # Wine would otherwise prefer its own rundll32 over the file.
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v rundll32.exe /t REG_SZ /d native /f >/dev/null 2>&1
  RUNDLL32_DIR=$WINEPREFIX/drive_c/e2e/rundll32
  mkdir -p "$RUNDLL32_DIR"
  : > "$RUNDLL32_DIR/log.txt"
}

rundll32_log() { unrandomised <"$RUNDLL32_DIR/log.txt"; }

# The command lines the stand-in was started with, one a line, without folders.
rundll32_commands() { rundll32_log | cut -d'|' -f2-; }

# One session of the dialog: starts the program, plays the robot steps on
# standard input, waits QUIET milliseconds with no further message box, then
# closes the dialog with Escape and expects exit code 2.
dialog_session() {
  local quiet=$1 steps
  steps=$(cat)
  robot <<SCRIPT
launch @EXE@
$steps
quiet $quiet
key IDC_USB_PORT escape
exit 2
SCRIPT
}

# Presses "Install" with "make it the default printer" checked, expects the
# robot steps on standard input (the message box), and closes the dialog.
press_install_expecting() {
  local expected
  expected=$(cat)
  dialog_session 500 <<SCRIPT
click IDC_DEFAULT_PRINTER
click IDC_INSTALL
$expected
SCRIPT
}

# The stand-in was started once, for the installation ("/if").
expect_only_the_installation_ran() {
  rundll32_log
  [ "$(rundll32_commands | wc -l)" -eq 1 ] || fail "more than the installation ran"
  rundll32_commands | grep -q ' /if ' || fail "the installation did not run"
}

# The working folder of the program in the prefix, as Windows spells it.
working_folder_windows() { printf '%s' 'C:\ProgramData\Tovlan'; }

# The Standard TCP/IP port entry NAME as "wine reg query" lists it.
tcpip_port_values() {
  wine reg query "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\$1" 2>/dev/null \
    | tr -d '\r'
}

# Checks that entry NAME holds VALUE of TYPE with DATA ("" for an empty string).
expect_tcpip_port_value() {
  local name=$1 value=$2 type=$3 data=$4 listing line
  listing=$(tcpip_port_values "$name")
  line=$(printf '%s\n' "$listing" | grep -E "^ +$value +REG_" || true)
  [ -n "$line" ] || fail "port $name has no value $value"
  line=$(printf '%s' "$line" | sed -E 's/^ +//; s/ +$//')
  local want="$value    $type    $data"
  want=$(printf '%s' "$want" | sed -E 's/ +$//')
  [ "$line" = "$want" ] || fail "port $name: '$line' where '$want' was expected"
}

# Unpacks the built driver archive into a fresh folder of the scenario's logs,
# named in $package.
unpack_install_zip() {
  package=$E2E_OUT/logs/$SCENARIO-package
  rm -rf "$package"
  mkdir -p "$package"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
    "$(native_build)/generated/install.zip" "$package" || fail "could not unpack install.zip"
}

# The built package's signer certificate: its thumbprint (upper-case SHA-1)
# in SIGNER_THUMB, its common name in SIGNER_NAME, and the log lines of its
# store entries ("STEP: "NAME" THUMB in LocalMachine\STORE: OUTCOME") from
# signer_lines STEP OUTCOME, TrustedPublisher first, then Root.
signer_certificate() {
  local cer
  cer=$(ls "$(native_build)"/generated/package/*.cer)
  SIGNER_THUMB=$(openssl x509 -inform DER -in "$cer" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  SIGNER_NAME=$(openssl x509 -inform DER -in "$cer" -noout -subject -nameopt multiline |
    sed -n 's/^ *commonName *= //p')
}
signer_lines() {
  local store
  for store in TrustedPublisher Root; do
    printf '%s: "%s" %s in LocalMachine\\%s: %s\n' "$1" "$SIGNER_NAME" "$SIGNER_THUMB" "$store" "$2"
  done
}

# The payload folder the stand-in saw holds exactly the package the build
# made, byte for byte: setup information, descriptions, settings, catalogs,
# the signer's certificate and the plug-ins in amd64 and i386.
expect_payload_seen() {
  local seen=$RUNDLL32_DIR/seen package
  package="$(native_build)/generated/package"
  [ -d "$seen" ] || fail "the stand-in saw no payload folder"
  local listing want
  listing=$(cd "$seen" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
  want=$(cd "$package" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
  [ "$listing" = "$want" ] || fail "the payload folder held: $listing"
  case "$listing" in *"./build-signer.cer "*|*"./publisher.cer "*) ;; *) fail "no signer certificate in: $listing" ;; esac
  local f
  for f in $listing; do
    [ -d "$seen/$f" ] || cmp "$package/$f" "$seen/$f" || fail "$f differs from the built package"
  done
  echo "payload seen by the stand-in: $listing"
}

# After an install: the product folder stays, the command's working folder
# (with the archive and the payload folder) is gone.
expect_staging_cleared() {
  [ -d "$(product_folder)" ] || fail "the product folder is gone"
  expect_no_working_folder
}

# ---- Whole lifecycle: the printer UI acting on Wine's spooler ----

# Makes the rundll32 stand-in (install_rundll32 first) also carry out /if, /y
# and /dl on the prefix's spooler, as the system's printer UI would.
rundll32_carries_out() { : > "$RUNDLL32_DIR/act.txt"; }

# What the spooler holds, one item a line ("printer|NAME|DRIVER|PORT|shared",
# "driver|NAME", "default|NAME"), as the program sees it (the probe is built
# for the program's architecture).
spooler_state() {
  local out=$E2E_OUT/logs/$SCENARIO-spooler.txt
  rm -f "$out"
  wine "$E2E_BIN/spooler_probe.exe" "$(winpath "$out")" >/dev/null 2>&1 || fail "the spooler probe failed"
  cat "$out"
}

# A pnputil listing (old layout) with the product's package published as
# oem7.inf among other packages.
pnputil_lists_product_package() {
  cat > "$PNPUTIL_DIR/listing.txt" <<'LISTING'
Microsoft PnP Utility

Published name :            oem3.inf
Driver package provider :   Contoso
Class :                     Printers

Published name :            oem7.inf
Driver package provider :   Lumatrek Pos Printer
Class :                     Printers
LISTING
}

# Presses "Uninstall" and checks that the product left nothing behind: no
# printer or driver of it in the spooler, no model file in the driver folder,
# its driver package (oem7.inf, see pnputil_lists_product_package) deleted.
uninstall_leaves_nothing() {
  robot <<'SCRIPT'
launch @EXE@
click IDC_UNINSTALL
message 提示|驱动卸载完成
closebox
exit 2
SCRIPT
  expect_product_removed
}

# Nothing of the product is left: no printer or driver of it in the spooler,
# no model file in the driver folder, its driver package (oem7.inf, see
# pnputil_lists_product_package) deleted and no other.
expect_product_removed() {
  echo "after uninstall:"
  local state left
  state=$(spooler_state)
  echo "$state"
  ! grep -qi 'lumatrek' <<<"$state" || fail "the spooler still holds the product"
  left=$(ls "$(driver_folder)" | grep -i '^lumatrek' || true)
  [ -z "$left" ] || fail "model files left in the driver folder: $left"
  grep -qx -- '-f -d oem7.inf' <(pnputil_log) || fail "the product's package was not deleted"
  ! grep -q 'oem3.inf' <(pnputil_log) || fail "another package was deleted"
}

# ---- Unattended runs: the program with arguments, no dialog ----

# Runs the program with ARGS, its standard output to a file; sets STATUS (the
# exit code) and CONSOLE (what it printed, UTF-8 as redirected output is,
# without carriage returns).
unattended() {
  local out=$E2E_OUT/logs/$SCENARIO.console
  STATUS=0
  wine "$E2E_BIN/lumatrek-setup.exe" "$@" >"$out" 2>>"$E2E_OUT/logs/$SCENARIO.wine.log" || STATUS=$?
  iconv -f UTF-8 -t UTF-8 <"$out" >/dev/null || fail "the output is not UTF-8"
  CONSOLE=$(tr -d '\r' <"$out")
  echo "lumatrek-setup.exe $* -> exit code $STATUS"
  printf '%s\n' "$CONSOLE"
}

# The last unattended run ended with CODE and printed exactly TEXT.
expect_unattended() {
  local code=$1 text=$2
  [ "$STATUS" -eq "$code" ] || fail "exit code $STATUS where $code was expected"
  [ "$CONSOLE" = "$text" ] || fail "the console showed '$CONSOLE' where '$text' was expected"
}

# The log file at drive C's PATH (Windows spelling after C:\), UTF-8 after
# its byte order mark, without the mark and carriage returns.
unattended_log() {
  local file=$WINEPREFIX/drive_c/${1//\\//}
  [ -f "$file" ] || fail "no log at C:\\$1"
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "the log does not begin with a UTF-8 mark"
  iconv -f UTF-8 -t UTF-8 <"$file" >/dev/null || fail "the log is not UTF-8"
  tail -c +4 "$file" | tr -d '\r' | unrandomised
}

# One user's walk through the texts, as scenarios 54 and 55 make it: each
# check and outcome of the dialog, its box read back as UTF-16 and compared,
# then the unattended lines and the prefix's ANSI code page. Arguments: the
# code page, then the texts as the user must read them, each "CAPTION|TEXT":
# the port, address form, address length and resolve failures, the failed
# test port write, the sent page, the printer name; then the connection
# failure's label.
expect_messages_read_in() {
  local codepage=$1 port=$2 form=$3 length=$4 resolve=$5 write=$6 sent=$7 name=$8 refused=$9
  start_virtual_printer "cp$codepage" --port 9100
  robot <<SCRIPT
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
type IDC_PORT 0
click IDC_CONNECT_TEST
message $port
type IDC_PORT 9100
type IDC_HOST 1.2.3.4.5
click IDC_CONNECT_TEST
message $form
type IDC_HOST printer.local.printer.local.1234
click IDC_CONNECT_TEST
message $length
type IDC_HOST nowhere.local
click IDC_CONNECT_TEST
message $resolve
type IDC_HOST 127.0.0.1
type IDC_PORT 9101
click IDC_CONNECT_TEST
message $write
type IDC_PORT 9100
click IDC_CONNECT_TEST
snapbox $(winpath "$E2E_OUT/logs/$SCENARIO-sent.bmp")
message $sent
type IDC_PRINTER_NAME
click IDC_INSTALL
message $name
alive
closebox
exit 2
SCRIPT
  finish_virtual_printer
  keep_screenshot "$E2E_OUT/logs/$SCENARIO-sent.bmp" "$SCENARIO-sent"
  unattended /test /host 127.0.0.1 /port 9101
  expect_unattended 45 "$refused:10061 (WSAECONNREFUSED)"$'\n'"${write%%|*}: ${write#*|}"
  unattended /install /host 127.0.0.1 /port 0
  expect_unattended 30 "${port%%|*}: ${port#*|}"
  expect_no_working_folder
  expect_ansi_code_page "$codepage"
}
