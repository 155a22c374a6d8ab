#!/usr/bin/env bash
# vorel-census when its output goes away or fills: a closed pipe or a FIFO whose reader leaves ends
# it quietly by SIGPIPE, as it ends any Unix tool; a file size limit ends it by SIGXFSZ, or, where
# it was started to ignore that, with one line and exit 1; a full or closed output gives exit 1
# and its reason, whatever was asked. Each time the old chart stays, alone in its folder.
# Usage: check_lost_outputs.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_chart_scratch "$2"

# A reader gone before the report is written.
old_chart "$charts"
{ sleep 0.3 && exec "$census" --seeds 1:2 --chart "$charts/c.svg" 2>"$err"; } | true
rc=${PIPESTATUS[0]}
expect_status 141 "$rc" "a closed pipe" "$(cat "$err")"
[ ! -s "$err" ] || fail "a closed pipe: said '$(cat "$err")'"
chart_kept "$charts" "a closed pipe"
"$census" --seeds 0:9 2>"$err" | head -1 >/dev/null
[ ! -s "$err" ] || fail "| head complained: $(cat "$err")"

# The chart's FIFO whose reader goes away while the census waits to write into it.
full_fifo "$scratch/fifo"
start "$census" --seeds 1:2 --chart "$scratch/fifo" >/dev/null 2>"$err" 3>&-
await pipe_write "a FIFO whose reader goes away"
exec 3>&-
wait "$pid"
expect_status 141 $? "a FIFO whose reader left" "$(cat "$err")"
[ ! -s "$err" ] || fail "a FIFO whose reader left: said '$(cat "$err")'"

# A file size limit below the chart's size.
old_chart "$charts"
{ (ulimit -f 8 && exec "$census" --seeds 1:2 --chart "$charts/c.svg" >/dev/null 2>"$err"); } \
  2>/dev/null
expect_status 153 $? "ulimit -f 8" "$(cat "$err")"
chart_kept "$charts" "ulimit -f 8"
(ulimit -f 8 && trap '' XFSZ && exec "$census" --seeds 1:2 --chart "$charts/c.svg" \
  >/dev/null 2>"$err")
expect_status 1 $? "ulimit -f 8, SIGXFSZ ignored"
expect_one_line "$err" vorel-census "ulimit -f 8, SIGXFSZ ignored" \
  "cannot write the chart to '$charts/c.svg': "
chart_kept "$charts" "ulimit -f 8, SIGXFSZ ignored"

# A report that cannot be written leaves the chart that was there; every way to the output is
# checked, the table, the JSON, the finder's both, --help and --version.
"$census" --seeds 0:9 --chart "$charts/c.svg" >/dev/full 2>/dev/null
expect_status 1 $? "a full output with a chart"
chart_kept "$charts" "a full output"
for args in "--seeds 0:9" "--seeds 0:9 --json" "--find 2,14,15,18,20,21,31 --seeds 0:9" \
  "--find 2,14,15,18,20,21,31 --seeds 0:9 --json" "--help" "--version"; do
  read -ra words <<<"$args"
  expect_unwritable ">/dev/full" "No space left on device" "$census" "${words[@]}"
  expect_unwritable ">&-" "Bad file descriptor" "$census" "${words[@]}"
done

finish "vorel-census: ends quietly when its reader goes, and says so when it cannot write"
