#!/usr/bin/env bash
# How wine-session.sh judges whether this host runs a Windows build, tried with stand-in loaders:
# one the kernel cannot execute (as Debian's 32-bit loader on a host without IA-32 emulation),
# one that works, one that fails in another way, and none at all.
# Usage: wine_runnable_test.sh CMAKE_DIR
set -uo pipefail
session=$1/wine-session.sh
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/check_lib.sh"
make_scratch "${TMPDIR:-/tmp}"
dir=$scratch

# Runs `runnable` for ARCH with the loaders in $dir; checks the exit code and what it printed.
expect_decided() {
  local arch=$1 code=$2 said=$3 out rc
  out=$(VOREL_WINE_DIR=$dir "$session" runnable "$arch" "$dir/state" 2>&1)
  rc=$?
  [ $rc -eq "$code" ] || fail "$arch ($4): exit $rc, expected $code; said '$out'"
  [[ "$out" == *"$said"* ]] || fail "$arch ($4): said '$out', expected '$said'"
}

working() { printf '#!/bin/sh\necho wine-8.0\n' >"$dir/$1"; chmod +x "$dir/$1"; }
working wine64
# The start of a 32-bit x86 ELF header and nothing after it: no kernel starts it ("Exec format
# error"), as a kernel without IA-32 emulation does not start Debian's 32-bit loader.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000' >"$dir/wine"
head -c 44 /dev/zero >>"$dir/wine"
chmod +x "$dir/wine"
expect_decided win32 77 "skipped: this host cannot run 32-bit x86 programs" "a loader it cannot execute"
expect_decided win64 0 "" "a working loader"

working wine
expect_decided win32 0 "" "a working loader"
VOREL_NO_WIN32_RUN=1 expect_decided win32 77 "skipped: VOREL_NO_WIN32_RUN=1" "forced"
out=$(VOREL_NO_WIN32_RUN=1 VOREL_WINE_DIR=$dir "$session" runnable win64 "$dir/state" 2>&1) ||
  fail "win64 skipped with VOREL_NO_WIN32_RUN=1: '$out'"

printf '#!/bin/sh\necho "wine: could not load ntdll.so" >&2\nexit 1\n' >"$dir/wine64"
expect_decided win64 1 "could not load ntdll.so" "a loader that fails otherwise"
rm "$dir/wine"
expect_decided win32 1 "is not installed" "no loader"

finish "wine_runnable: every case decided as it should"
