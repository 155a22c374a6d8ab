#!/usr/bin/env bash
# Whose output the chart's file is, from the outside. A descriptor the census inherited on the
# file (a lock's, `9<>c.svg` or `9>>c.svg`) is not an output of its own: the file is replaced
# whole, never written into where that descriptor stands. A target the chart could not reach now
# (the census's own standard input, /dev/tty with no terminal, standard output standing before
# the file's end) is refused before the count: one line, exit 2, nothing on standard output and
# the file as it was.
# Usage: check_chart_owner.sh CENSUS WORK_DIR
set -uo pipefail
census=$(realpath "$1") work=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for tool in flock setsid timeout xmllint; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

dir=$(realpath "$(mktemp -d "$work/chart-owner.XXXXXX")")
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1

# A big old chart, and the small one the census draws for seed 0 alone.
"$census" --seeds 0:99999 --chart big.svg >/dev/null || fail "the big chart: exit $?"
"$census" --seeds 0:0 --chart small.svg >/dev/null || fail "the small chart: exit $?"

# The two ways a script holds a lock on the file while the census writes it.
for open in '<>' '>>'; do
  cp big.svg c.svg
  # shellcheck disable=SC2094 # the lock's descriptor on the file the census writes is the point
  case $open in
    '<>') (flock 9 && exec "$census" --seeds 0:0 --chart c.svg >report.txt) 9<>c.svg ;;
    '>>') (flock 9 && exec "$census" --seeds 0:0 --chart c.svg >report.txt) 9>>c.svg ;;
  esac
  rc=$?
  if [ $rc -ne 0 ] || ! grep -qx 'Chart: c.svg' report.txt; then fail "9${open}c.svg: exit $rc"; fi
  xmllint --noout c.svg 2>/dev/null || fail "9${open}c.svg: not one whole chart"
  cmp -s c.svg small.svg || fail "9${open}c.svg: not the chart of seed 0 ($(wc -c <c.svg) bytes)"
done

# Refused before the count: exit 2, one line on standard error, and no report in `out`. A census
# that waits on its own input instead (as it did) is ended after two minutes, and fails.
bounded=(timeout -k 10 120 "$census")
refused() {
  local what=$1 rc=$2 out=${3:-out}
  if [ "$rc" -ne 2 ] || [ "$(wc -l <err)" -ne 1 ] || ! cmp -s "$out" "${4:-/dev/null}"; then
    fail "$what: exit $rc, printed $(wc -c <"$out") bytes, said '$(cat err)'"
  fi
}
yes | "${bounded[@]}" --seeds 0:9 --chart /dev/stdin >out 2>err
refused "yes | --chart /dev/stdin" "${PIPESTATUS[1]}"
mkfifo fifo
exec 3<>fifo # so that opening it to read does not wait for a writer
# shellcheck disable=SC2094 # the chart into the FIFO the census reads is the point
"${bounded[@]}" --seeds 0:9 --chart fifo <fifo >out 2>err 3>&-
refused "--chart fifo <fifo" $?
exec 3>&-
setsid -w "${bounded[@]}" --seeds 0:9 --chart /dev/tty </dev/null >out 2>err
refused "setsid --chart /dev/tty" $?
cp small.svg log
"${bounded[@]}" --seeds 0:9 --chart log 1<>log 2>err
refused "--chart log 1<>log" $? log small.svg

[ $failures -eq 0 ] || exit 1
echo "vorel-census: the chart's file is the census's own, or refused before the count"
