#!/usr/bin/env bash
# Checks the robot scripts' names: lib.sh's robot_with_ids puts in the ids and
# style values of resources/resource.h and refuses what it cannot name.
# Usage: check_robot_ids.sh (from ctest or by hand; needs the x86-64 mingw gcc).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
E2E_ROOT=$(cd "$here/../.." && pwd)
source "$here/lib.sh"

passed=0
failed=0
# expect STATUS INPUT OUTPUT: robot_with_ids exits with STATUS and writes OUTPUT.
expect() {
  local got status=0
  got=$(printf '%s\n' "$2" | robot_with_ids 2>/dev/null) || status=$?
  if [ "$status" -eq "$1" ] && [ "$got" = "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL '$2': status $status, wrote '$got' (want $1, '$3')"
  fi
}

expect 0 'click IDC_INSTALL' 'click 1000'
expect 0 '  type IDC_HOST  two  spaces' '  type 1011  two  spaces'
expect 0 'exit IDC_QUIT' 'exit 1005'
expect 0 'exit 2' 'exit 2'
expect 0 '# click 1000' '# click 1000'
expect 0 'message 提示|IDC_INSTALL 1000' 'message 提示|IDC_INSTALL 1000'
expect 0 'style IDC_QUIT STYLE_PUSH_BUTTON' 'style 1005 50010000'
expect 0 'style IDC_SIDE_PICTURE (STYLE_SIDE_FRAME & ~SS_CENTER) | SS_BITMAP | SS_CENTERIMAGE' \
  'style 1001 5000020E'
expect 0 'style IDC_PORT STYLE_NUMBER_EDIT' 'style 1012 50812080'
expect 1 'click 1000' 'click 1000'
expect 1 'click IDC_NO_SUCH_CONTROL' 'click IDC_NO_SUCH_CONTROL'
expect 1 'style IDC_INSTALL 50010000' 'style 1000 50010000'
expect 1 'style IDC_INSTALL STYLE_NO_SUCH_STYLE' 'style 1000 STYLE_NO_SUCH_STYLE'
echo "robot ids: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
