#!/usr/bin/env bash
# vorel-census on a terminal: the progress line appears and is erased with the escape TERM names,
# and with spaces on a dumb terminal or none named, and --no-progress keeps it off; a chart path
# that cannot be written is refused before any counting; the chart to /dev/stdout is written onto
# the terminal after the report.
# What the progress line says is census_progress_test's to show.
# Usage: check_terminal.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_scratch "$2"
script -qec true /dev/null >/dev/null 2>&1 || skip "no terminal to be had here (script(1) failed)"

on_terminal() { script -qec "$1" /dev/null </dev/null; }
escape=$'\e'
out=$(on_terminal "TERM=xterm '$census' --seeds 0:9 >/dev/null")
[[ "$out" == *"${escape}[K"* ]] || fail "TERM=xterm: the progress line was not erased"
for term in "TERM=dumb" "env -u TERM"; do
  out=$(on_terminal "$term '$census' --seeds 0:9 >/dev/null")
  [[ "$out" == *"M seeds/s"* ]] || fail "$term: no progress line"
  [[ "$out" != *"$escape"* ]] || fail "$term: escape sequences: $(cat -v <<<"$out" | head -3)"
done
# --no-progress keeps it off the terminal, for the census and the finder alike.
for args in "--seeds 0:9" "--find 1,2,3,4,5,6,7 --seeds 0:9"; do
  out=$(on_terminal "TERM=xterm '$census' $args --no-progress >/dev/null")
  [ -z "$out" ] || fail "$args --no-progress: $(cat -v <<<"$out" | head -3)"
done
# Every count on a terminal shows the progress line, at its end if not before: a refused chart
# path shows none.
out=$(on_terminal "'$census' --seeds 0:9 --chart '$scratch/none/c.svg' >/dev/null")
rc=$?
{ [ $rc -eq 2 ] && [[ "$out" == *"cannot write the chart to '$scratch/none/c.svg': No such file"* ]] &&
  [[ "$out" != *"M seeds/s"* ]]; } || fail "an unwritable chart path: exit $rc, $(cat -v <<<"$out")"
out=$(on_terminal "'$census' --seeds 1:2 --chart /dev/stdout 2>/dev/null")
{ [[ "$out" == *"Seeds covered: 2 "*"</svg>"* ]] && [[ "$out" != *"Chart: "* ]]; } ||
  fail "the chart to a terminal: $(tail -2 <<<"$out")"

finish "vorel-census: the progress line on a terminal, erased as the terminal allows"
