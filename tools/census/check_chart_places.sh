#!/usr/bin/env bash
# Where vorel-census's chart goes, from the outside: a file the census already writes (standard
# output appended to, the same file, another descriptor of its own) is written through, after the
# report, never replaced; a pipe, a device and standard error are written into; a FIFO without a
# reader is said once and written when a reader comes; a file in a folder that takes no file is
# refused before the count, or fails after it, as the user may or may not write there (why is
# cli_file_test's to show).
# Usage: check_chart_places.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_scratch "$2"
err=$scratch/err

# The report, then the chart: the SVG is the last thing, whole, after the report's last line, and
# no "Chart:" line is written into it.
report_then_chart() {
  local file=$1 what=$2
  grep -q '^Seeds covered: 2 ' "$file" || fail "$what: no report"
  { [ "$(grep -c '^<svg ' "$file")" -eq 1 ] && [ "$(tail -1 "$file")" = "</svg>" ]; } ||
    fail "$what: no whole chart at the end"
  [ "$(grep -n '^Least frequent picks' "$file" | cut -d: -f1)" -lt \
    "$(grep -n '^<svg ' "$file" | cut -d: -f1)" ] || fail "$what: the chart is not after the report"
  ! grep -q '^Chart: ' "$file" || fail "$what: a 'Chart:' line in the output the chart went to"
}

mkdir "$scratch/charts"
cd "$scratch/charts" || exit 1
printf 'old\n' >log
"$census" --seeds 1:2 --chart /dev/stdout >>log 2>"$err"
rc=$?
{ [ $rc -eq 0 ] && [ "$(head -1 log)" = old ]; } || fail ">> log: exit $rc, first line '$(head -1 log)'"
report_then_chart log ">> log"
# shellcheck disable=SC2094 # the chart to the very file the report goes to, as a user may send it
"$census" --seeds 1:2 --chart log >log 2>"$err"
report_then_chart log "> log with the chart to the same file"
[ "$(folder_holds .)" = log ] || fail "/dev/stdout: the folder holds $(folder_holds .)"
rm log
for target in /dev/stdout /proc/self/fd/1; do
  "$census" --seeds 1:2 --chart $target 2>"$err" | cat >"$scratch/out"
  rc=$?
  { [ $rc -eq 0 ] && [ ! -s "$err" ]; } || fail "$target | cat: exit $rc ($(cat "$err"))"
  report_then_chart "$scratch/out" "$target | cat"
done
# Standard output on a device, and the chart to standard error.
"$census" --seeds 1:2 --chart /dev/stdout >/dev/null 2>"$err" ||
  fail ">/dev/null: exit $? ($(cat "$err"))"
"$census" --seeds 1:2 --chart /dev/stderr >"$scratch/out" 2>"$err"
{ grep -q '^Chart: /dev/stderr$' "$scratch/out" && [ "$(tail -1 "$err")" = "</svg>" ]; } ||
  fail "/dev/stderr: $(tail -1 "$scratch/out")"
# Another descriptor of the census's own: written through, after what it holds.
printf 'old\n' >f
"$census" --seeds 1:2 --chart /proc/self/fd/3 3>>f >"$scratch/out" 2>"$err"
rc=$?
{ [ $rc -eq 0 ] && [ "$(head -1 f)" = old ] && [ "$(tail -1 f)" = "</svg>" ]; } ||
  fail "3>>f: exit $rc, '$(head -1 f)' … '$(tail -1 f)' ($(cat "$err"))"
grep -q '^Chart: /proc/self/fd/3$' "$scratch/out" || fail "3>>f: $(tail -1 "$scratch/out")"
"$census" --seeds 1:2 --chart /proc/self/fd/3 3>f >/dev/null 2>"$err"
[ "$(head -c 5 f)" = "<svg " ] || fail "3>f: the file starts '$(head -c 20 f)'"
[ "$(folder_holds .)" = f ] || fail "/proc/self/fd/3: the folder holds $(folder_holds .)"
rm f
cd "$scratch" || exit 1

# A FIFO without a reader: said once, then written when a reader comes.
mkfifo "$scratch/fifo"
start "$census" --seeds 1:2 --chart "$scratch/fifo" >/dev/null 2>"$err"
await wait_for_partner "a FIFO without a reader"
cat "$scratch/fifo" >"$scratch/out"
wait "$pid" || fail "a FIFO whose reader came late: exit $?"
[ "$(cat "$err")" = "vorel-census: waiting for a reader of the FIFO '$scratch/fifo' to write the chart" ] ||
  fail "a FIFO without a reader: said '$(cat "$err")'"
[ "$(tail -1 "$scratch/out")" = "</svg>" ] || fail "a FIFO without a reader: no chart"

# A file in a folder that takes no file: root may write the file, not make one beside it.
"$census" --seeds 1:2 --chart /proc/version >/dev/null 2>"$err"
rc=$?
if [ "$(id -u)" = 0 ]; then
  expect_status 1 $rc "/proc/version" "$(cat "$err")"
  expect_one_line "$err" vorel-census "/proc/version" "cannot write the chart to '/proc/version': "
else
  expect_status 2 $rc "/proc/version" "$(cat "$err")"
  expect_one_line "$err" vorel-census "/proc/version" "cannot write the chart to '/proc/version': "
fi

finish "vorel-census: the chart goes where it is sent, after the report"
