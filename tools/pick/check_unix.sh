#!/usr/bin/env bash
# vorel-pick as a Unix tool, from the outside: a full or closed output is an error with its
# reason and exit code 1, whatever was asked; a pipe closed by its reader ends it quietly by
# SIGPIPE; a bad value reaches stderr as one line, escaped, with nothing on the output and exit 2.
# What the line says is pick_options_test's to show.
# Usage: check_unix.sh PICK
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
pick=$1
make_scratch "${TMPDIR:-/tmp}"

for args in "--seed 5" "--candidates --seed 5" "--at 2026-12-07T04:05:06Z" "--help" "--version"; do
  read -ra words <<<"$args"
  expect_unwritable ">/dev/full" "No space left on device" "$pick" "${words[@]}"
  expect_unwritable ">&-" "Bad file descriptor" "$pick" "${words[@]}"
done

# The reader is gone before the pick is written: SIGPIPE ends it, with nothing said.
{ sleep 0.3 && exec "$pick" --candidates --seed 5 2>"$scratch/err"; } | true
expect_status 141 "${PIPESTATUS[0]}" "a closed pipe" "$(cat "$scratch/err")"
[ ! -s "$scratch/err" ] || fail "a closed pipe: said '$(cat "$scratch/err")'"

# A newline and a terminal's escape sequence in a value: one line, and no raw escape.
for value in $'--seed=5\n' $'--at=\e[2J'; do
  "$pick" "$value" >"$scratch/out" 2>"$scratch/err"
  expect_status 2 $? "$(printf %q "$value")" "$(cat "$scratch/err")"
  expect_one_line "$scratch/err" vorel-pick "$(printf %q "$value")"
  ! grep -q $'\e' "$scratch/err" || fail "$(printf %q "$value"): an escape reached stderr"
  [ ! -s "$scratch/out" ] || fail "$(printf %q "$value"): printed '$(cat "$scratch/out")'"
done

finish "vorel-pick: every Unix check passed"
