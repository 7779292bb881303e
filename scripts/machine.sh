#!/usr/bin/env bash
# Sourced by the scripts: finds out once whether this machine's kernel runs
# 32-bit (i386) code, and which Wine programs to call. Sets
#   LUMATREK_RUNS_32BIT  yes | no
#   LUMATREK_MACHINE     one line that says which kind of machine this is
# Some kernels have 32-bit emulation switched off: every i386 program fails
# with "Exec format error", the 32-bit Wine loader included, and no 32-bit
# Windows code can run at all. The test is a 96-byte i386 program that exits
# with status 42; only a program that really ran can answer 42.

lumatrek_probe_32bit() {
  local probe status=0
  probe=$(mktemp "${TMPDIR:-/tmp}/lumatrek-i386.XXXXXX")
  {
    # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054.
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000'
    printf '\064\000\040\000\001\000\000\000\000\000\000\000'
    # One loadable segment: the whole file at 0x08048000, read and execute.
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000'
    printf '\005\000\000\000\000\020\000\000'
    # mov eax, 1 (exit); mov ebx, 42; int 0x80
    printf '\270\001\000\000\000\273\052\000\000\000\315\200'
  } >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ] || return 1
  # An i386 program that runs through a user-mode emulator (binfmt_misc) is no
  # proof: Wine under qemu-user hangs. Count only the kernel's own support.
  local entry
  for entry in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i386-static; do
    if [ -f "$entry" ] && head -n 1 "$entry" | grep -qx enabled; then return 1; fi
  done
  return 0
}

# Probed every time (it takes a millisecond), never taken from the environment,
# so that no run can claim 32-bit code ran where it cannot.
if lumatrek_probe_32bit; then LUMATREK_RUNS_32BIT=yes; else LUMATREK_RUNS_32BIT=no; fi
export LUMATREK_RUNS_32BIT
if [ "$LUMATREK_RUNS_32BIT" = yes ]; then
  LUMATREK_MACHINE="this machine runs 32-bit code"
else
  LUMATREK_MACHINE="this machine runs no 32-bit code"
fi
export LUMATREK_MACHINE
