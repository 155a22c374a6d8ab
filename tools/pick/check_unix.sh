#!/usr/bin/env bash
# vorel-pick as a Unix tool, from the outside: a full or closed output is an error with its
# reason and exit code 1, whatever was asked; a pipe closed by its reader ends it quietly by
# SIGPIPE; a bad value is shown on one line, escaped.
# Usage: check_unix.sh PICK
set -uo pipefail
export TZ=UTC # a zone the check names, never the machine's own
pick=$1
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for args in "--seed 5" "--candidates --seed 5" "--at 2026-12-07T04:05:06Z" "--help" "--version"; do
  for output in ">/dev/full:No space left on device" ">&-:Bad file descriptor"; do
    err=$(eval "\"\$pick\" $args ${output%%:*}" 2>&1 >/dev/null)
    rc=$?
    [ $rc -eq 1 ] || fail "$args ${output%%:*}: exit $rc"
    [ "$err" = "vorel-pick: cannot write: ${output#*:}" ] || fail "$args ${output%%:*}: said '$err'"
  done
done

# The reader is gone before the pick is written: SIGPIPE ends it, with nothing said.
{ sleep 0.3 && exec "$pick" --candidates --seed 5 2>"$scratch/err"; } | true
rc=${PIPESTATUS[0]}
[ "$rc" -eq 141 ] && [ ! -s "$scratch/err" ] ||
  fail "a closed pipe: exit $rc, said '$(cat "$scratch/err")'"

err=$("$pick" --seed $'5\n' 2>&1)
[ "$err" = "vorel-pick: seed '5\\n' is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)" ] ||
  fail "a newline in a value: '$err'"
err=$("$pick" --at $'\e[2J' 2>&1)
[ "$err" = "vorel-pick: time '\\x1B[2J' is not now or a time such as 2026-12-07 13:05:06 (local), 2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00" ] ||
  fail "an escape sequence in a value: '$err'"

[ $failures -eq 0 ] || exit 1
echo "vorel-pick: every Unix check passed"
