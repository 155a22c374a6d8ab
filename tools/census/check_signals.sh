#!/usr/bin/env bash
# vorel-census ended by a signal, from the outside: during the count and during a search it stops
# at its next chunk and says how far it got; while a write or a FIFO waits it ends there and then;
# either way the old chart stays, alone in its folder, and the shell sees 128 plus the signal's
# number. A signal it was started to ignore stays ignored. Each situation takes another signal;
# that every signal is caught and ends the program by itself is cli_stop_test's to show.
# Usage: check_signals.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_chart_scratch "$2"
ulimit -c 0 # a signal whose default dumps core leaves no core file in the build tree

# During the count, Ctrl-C and a quit, which would dump core: it stops at its next chunk.
for signal in INT QUIT; do
  old_chart "$charts"
  start "$census" --chart "$charts/c.svg" >"$scratch/out" 2>"$err"
  await counting "during the count"
  stop_with "$signal" "during the count" "$err" '^vorel-census: interrupted after '
  chart_kept "$charts" "SIG$signal during the count"
done

# During a search (the slowest walk, so that the signal comes before it is done): it says so and
# prints nothing.
start "$census" --find 02,14,15,18,20,21,31 --target SCALAR >"$scratch/out" 2>"$err"
await counting "during a search"
stop_with TERM "during a search" "$err" '^vorel-census: interrupted before the search was done$'
[ ! -s "$scratch/out" ] || fail "SIGTERM during a search: printed '$(head -1 "$scratch/out")'"

# While a write waits: the report into a full pipe, the chart into a full pipe, and the chart's
# FIFO waiting for a reader.
old_chart "$charts"
full_fifo "$scratch/fifo"
start "$census" --seeds 1:2 --chart "$charts/c.svg" >"$scratch/fifo" 2>"$err" 3>&-
await pipe_write "the report into a full pipe"
stop_with HUP "the report into a full pipe" "$err"
chart_kept "$charts" "SIGHUP while the report waited"
start "$census" --seeds 1:2 --chart "$scratch/fifo" >"$scratch/out" 2>"$err" 3>&-
await pipe_write "the chart into a full pipe"
stop_with USR1 "the chart into a full pipe" "$err"
exec 3>&-
rm "$scratch/fifo"
mkfifo "$scratch/fifo"
start "$census" --seeds 1:2 --chart "$scratch/fifo" >"$scratch/out" 2>"$err"
await wait_for_partner "a FIFO without a reader"
stop_with ALRM "a FIFO without a reader" "$err" "waiting for a reader of the FIFO"

# Started to ignore hang-ups (as nohup does), the census keeps ignoring them.
(
  trap '' HUP
  exec "$census" --chart "$charts/c.svg" >/dev/null 2>&1
) &
pid=$!
await counting "an ignored SIGHUP"
kill -s HUP $pid
sleep 0.5
kill -0 $pid 2>/dev/null || fail "an ignored SIGHUP stopped the census"
kill -s TERM $pid
wait $pid

finish "vorel-census: ends by each signal where it waits, and keeps the old chart"
