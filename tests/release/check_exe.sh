#!/usr/bin/env bash
# Checks the release facts of a built program: a GUI program of the expected
# architecture (PE32 i386 for the 32-bit program, PE32+ x86-64 for the 64-bit
# one) that imports system DLLs only (no MinGW runtime DLL), and statically
# only KnownDLLs and the side-by-side common controls, whose manifest
# asks for administrator rights without UI access and for Common Controls 6 of
# its own architecture, which embeds its archives, dialog, icon and side
# picture, which carries its version information, and which stays small.
# Usage: check_exe.sh PATH/lumatrek-setup.exe 32|64
set -uo pipefail
exe=${1:?usage: check_exe.sh PATH/lumatrek-setup.exe 32|64}
bits=${2:?usage: check_exe.sh PATH/lumatrek-setup.exe 32|64}
here=$(cd "$(dirname "$0")" && pwd)
case "$bits" in
  32) objdump=${OBJDUMP:-i686-w64-mingw32-objdump} format=pei-i386 arch=i386 magic=010b kind=PE32
      manifest_arch=x86 ;;
  64) objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump} format=pei-x86-64 arch=i386:x86-64 magic=020b kind=PE32+
      manifest_arch=amd64 ;;
  *) echo "usage: check_exe.sh PATH/lumatrek-setup.exe 32|64"; exit 2 ;;
esac
aim_bytes=$((500 * 1024))
limit_bytes=$((4 * 1024 * 1024))

passed=0
failed=0
check() {  # check "what" command...
  local what=$1
  shift
  local detail
  if detail=$("$@" 2>&1); then
    echo "ok   $what${detail:+ ($detail)}"
    passed=$((passed + 1))
  else
    echo "FAIL $what${detail:+: $detail}"
    failed=$((failed + 1))
  fi
}

echo "release facts of $exe ($bits-bit program)"
[ -f "$exe" ] || { echo "FAIL no program at $exe"; echo "0 passed, 1 failed"; exit 1; }
headers=$("$objdump" -f "$exe" 2>&1)
private=$("$objdump" -p "$exe" 2>&1)
resources=$(python3 "$here/pe_resources.py" "$exe" 2>&1)

image_kind() {
  grep -q "file format $format\$" <<<"$headers" || { echo "not a $format image"; return 1; }
  grep -q "^architecture: $arch," <<<"$headers" || { echo "architecture is not $arch"; return 1; }
  grep -Eq "^Magic[[:space:]]+$magic" <<<"$private" || { echo "optional header is not $kind ($magic)"; return 1; }
}

gui_subsystem() {
  grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$private" || {
    grep -E '^Subsystem' <<<"$private"
    return 1
  }
}

# The DLL names of the import table, in lower case.
imported_dlls() {
  local dlls
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$private" | tr 'A-Z' 'a-z' | tr -d '\r')
  [ -n "$dlls" ] || { echo "no import table found"; return 1; }
  echo $dlls
}

outside() {  # "allowed list" dll...: those not in the list
  local list dll bad=""
  list=" $(echo $1) "  # one space between and around the names
  shift
  for dll in "$@"; do
    [[ $list == *" $dll "* ]] || bad="$bad $dll"
  done
  echo "$bad"
}

# DLLs every Windows installation has; anything else (libgcc_s_*, libstdc++-6,
# libwinpthread-1, zlib1 ...) would have to be shipped beside the program.
system_imports_only() {
  local allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll ole32.dll oleaut32.dll
    shlwapi.dll shell32.dll winspool.drv ws2_32.dll msvcrt.dll setupapi.dll comdlg32.dll version.dll
    ntdll.dll "
  local dlls bad
  dlls=$(imported_dlls) || { echo "$dlls"; return 1; }
  bad=$(outside "$allowed" $dlls)
  [ -z "$bad" ] || { echo "imports non-system DLLs:$bad"; return 1; }
  echo $dlls
}

# The loader takes a DLL named in the import table from the program's own
# folder (a downloads folder, say) before the system folder, unless it is a
# KnownDLL (always the system's copy) or comes through the manifest's
# side-by-side assembly (Common Controls 6). Anything else is loaded at run
# time from the system folder.
known_dlls_only() {
  local known=" kernel32.dll ntdll.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll shlwapi.dll
    shell32.dll ws2_32.dll msvcrt.dll comdlg32.dll setupapi.dll imagehlp.dll psapi.dll rpcrt4.dll imm32.dll
    normaliz.dll nsi.dll wldap32.dll sechost.dll difxapi.dll comctl32.dll "
  local dlls bad
  dlls=$(imported_dlls) || { echo "$dlls"; return 1; }
  bad=$(outside "$known" $dlls)
  [ -z "$bad" ] || { echo "imports DLLs that are neither KnownDLLs nor side-by-side:$bad"; return 1; }
}

has_resource() {  # type name
  grep -q "^$1 $2 " <<<"$resources" || { echo "resource $1 $2 missing"; return 1; }
}

zip_resource() {  # name: an embedded archive that starts like one
  has_resource ZIPRES "$1" || return 1
  [ "$(python3 "$here/pe_resources.py" "$exe" ZIPRES "$1" | head -c 4 | od -An -tx1 | tr -d ' \n')" = 504b0304 ] ||
    { echo "ZIPRES $1 is not a zip archive"; return 1; }
}

manifest() {
  has_resource 24 1 || return 1
  python3 "$here/pe_resources.py" "$exe" 24 1 | python3 -c '
import sys, xml.etree.ElementTree as ET
v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
root = ET.fromstring(sys.stdin.buffer.read())
levels = [e.attrib for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
if levels != [{"level": "requireAdministrator", "uiAccess": "false"}]:
    sys.exit("execution level is %r" % levels)
own = root.find(v1 + "assemblyIdentity")
if own is None or own.attrib.get("processorArchitecture", "").lower() != sys.argv[1]:
    sys.exit("the program identity names %r" % (None if own is None else own.attrib.get("processorArchitecture")))
controls = [e.attrib for e in root.iter(v1 + "assemblyIdentity")
            if e.attrib.get("name") == "Microsoft.Windows.Common-Controls"]
if len(controls) != 1:
    sys.exit("no single Common Controls dependency")
c = controls[0]
want = {"type": "win32", "version": "6.0.0.0", "processorArchitecture": sys.argv[1],
        "publicKeyToken": "6595b64144ccf1df"}
wrong = {k: c.get(k) for k in want if c.get(k, "").lower() != want[k].lower()}
if wrong:
    sys.exit("Common Controls dependency has %r" % wrong)
print("requireAdministrator, uiAccess false, Common-Controls 6.0.0.0 " + sys.argv[1])
' "$manifest_arch"
}

size_bounded() {
  local bytes
  bytes=$(stat -c %s "$exe")
  local note="$bytes bytes, $((bytes / 1024)) KB"
  [ "$bytes" -le "$aim_bytes" ] || note="$note, above the 500 KB aim"
  echo "$note"
  [ "$bytes" -le "$limit_bytes" ]
}

check "$kind image for $arch" image_kind
check "Windows GUI subsystem" gui_subsystem
check "imports only system DLLs" system_imports_only
check "static imports only KnownDLLs and the side-by-side common controls" known_dlls_only
check "manifest asks for administrator rights and Common Controls 6" manifest
check "driver package archive ZIPRES 205" zip_resource 205
check "sample picture archive ZIPRES 208" zip_resource 208
check "main dialog 129" has_resource 5 129
check "application icon 128" has_resource 14 128
check "side picture bitmap 201" has_resource 2 201
check "version information 1.0.0.0 (V1.00) of Tovlan" python3 "$here/check_version.py" "$exe" lumatrek-setup.exe
check "size within 4 MB" size_bounded
echo "resources:"
sed 's/^/  /' <<<"$resources"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
