#!/usr/bin/env bash
# Whose output the chart's file is, from the outside. A descriptor the census inherited on the
# file (a lock's, `9<>c.svg` or `9>>c.svg`) is not an output of its own: the file is replaced
# whole, never written into where that descriptor stands. A target the chart could not reach now
# (the census's own standard input, /dev/tty with no terminal, standard output standing before
# the file's end) is refused before the count: one line, exit 2, nothing on standard output and
# the file as it was. Why each is refused is cli_file_test's to show.
# Usage: check_chart_owner.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
need flock setsid timeout xmllint
make_scratch "$2"
cd "$scratch" || exit 1

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
  expect_status 0 $? "9${open}c.svg"
  grep -qx 'Chart: c.svg' report.txt || fail "9${open}c.svg: the report names no 'Chart: c.svg'"
  xmllint --noout c.svg 2>/dev/null || fail "9${open}c.svg: not one whole chart"
  cmp -s c.svg small.svg || fail "9${open}c.svg: not the chart of seed 0 ($(wc -c <c.svg) bytes)"
done

# Refused before the count: exit 2, one line on standard error, and standard output (OUT, `out`
# unless named) as it was (WAS, empty unless named). A census that waits on its own input instead
# (as it did) is ended after two minutes, and fails.
bounded=(timeout -k 10 120 "$census")
refused() {
  local what=$1 rc=$2 out=${3:-out} was=${4:-/dev/null}
  expect_status 2 "$rc" "$what" "$(cat err)"
  expect_one_line err vorel-census "$what" "cannot write the chart to "
  cmp -s "$out" "$was" || fail "$what: printed $(wc -c <"$out") bytes"
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

finish "vorel-census: the chart's file is the census's own, or refused before the count"
