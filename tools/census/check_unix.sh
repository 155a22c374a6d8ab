#!/usr/bin/env bash
# vorel-census as a Unix tool, from the outside: an interrupted count keeps the chart that was
# there, byte for byte, and leaves no stray file; a full or closed output is an error with its
# reason; values are shown on one line; huge thread counts stay within the memory of the cores.
# Usage: check_unix.sh CENSUS WORK_DIR signals|memory SANITIZED(0|1)
set -uo pipefail
census=$1 work=$2 part=$3 sanitized=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dir=$(mktemp -d "$work/unix-check.XXXXXX")
trap 'rm -rf "$dir"' EXIT

# Starts a whole census with a chart over an old one, stops it with the signal, and checks the
# exit code, the old chart and the folder.
interrupt() {
  local signal=$1 code=$2
  printf 'old chart\n' >"$dir/c.svg"
  # With job control, a background job does not start with Ctrl-C ignored, as a script's would.
  set -m
  "$census" --chart "$dir/c.svg" >"$dir/out" 2>"$dir/err" &
  local pid=$!
  set +m
  sleep 1
  kill -s "$signal" $pid
  wait $pid
  local rc=$?
  [ $rc -eq "$code" ] || fail "SIG$signal: exit $rc, expected $code ($(cat "$dir/err"))"
  [ "$(cat "$dir/c.svg")" = "old chart" ] || fail "SIG$signal: the old chart was changed"
  [ "$(ls -A "$dir" | sort | tr '\n' ' ')" = "c.svg err out " ] ||
    fail "SIG$signal: the folder holds $(ls -A "$dir")"
  grep -q '^vorel-census: interrupted after ' "$dir/err" || fail "SIG$signal: said '$(cat "$dir/err")'"
}

# A write that cannot be done: exit 1 and one line with the reason.
unwritable() {
  local what=$1 reason=$2
  shift 2
  local err rc
  err=$(eval "\"\$census\" $* $what" 2>&1 >/dev/null)
  rc=$?
  [ $rc -eq 1 ] || fail "$* $what: exit $rc"
  [ "$err" = "vorel-census: cannot write: $reason" ] || fail "$* $what: said '$err'"
}

if [ "$part" = signals ]; then
  interrupt TERM 143
  interrupt INT 130
  interrupt HUP 129
  # Started to ignore hang-ups (as nohup does), the census keeps ignoring them.
  (
    trap '' HUP
    exec "$census" --chart "$dir/c.svg" >/dev/null 2>&1
  ) &
  pid=$!
  sleep 1
  kill -s HUP $pid
  sleep 0.5
  kill -0 $pid 2>/dev/null || fail "an ignored SIGHUP stopped the census"
  kill -s TERM $pid
  wait $pid
  rm -f "$dir/c.svg"
  # A report that cannot be written leaves the chart that was there.
  printf 'old chart\n' >"$dir/c.svg"
  "$census" --seeds 0:9 --chart "$dir/c.svg" >/dev/full 2>/dev/null
  rc=$?
  [ $rc -eq 1 ] || fail "a full output with a chart: exit $rc"
  [ "$(cat "$dir/c.svg")" = "old chart" ] || fail "a failed run replaced the chart"
  [ "$(ls -A "$dir" | sort | tr '\n' ' ')" = "c.svg err out " ] || fail "the folder holds $(ls -A "$dir")"
  err=$("$census" --seeds 0:9 --threads $(($(nproc) + 1)) 2>&1 >/dev/null)
  grep -q "threads asked for, but this machine has $(nproc) core" <<<"$err" ||
    fail "one thread more than the cores: no note ('$err')"
  for args in "--seeds 0:9" "--seeds 0:9 --json" "--help" "--version"; do
    unwritable ">/dev/full" "No space left on device" $args
    unwritable ">&-" "Bad file descriptor" $args
  done
  err=$("$census" --seeds $'5\n:7' 2>&1)
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "a newline in a value broke the line: $err"
  out=$("$census" --seeds 7:7)
  grep -q '^Most to least frequent: 7 numbers (tied) / 30 numbers (tied) = n/a$' <<<"$out" ||
    fail "one seed's ratio: $(grep 'Most to least' <<<"$out")"
  # A year of seconds: 31,536,000 seeds, from the seed of 2027-01-01T00:00:00Z.
  out=$("$census" --json --from 2027-01-01T00:00:00Z --to 2027-12-31T23:59:59Z --seeds 1:1 2>&1)
  grep -q 'cannot be used together' <<<"$out" || fail "--seeds with --from: $out"
  out=$("$census" --from 2106-02-07T06:28:10Z --to 2106-02-07T06:28:20Z)
  grep -q '^Seeds covered: 11 (the seconds from 2106-02-07T06:28:10Z to 2106-02-07T06:28:20Z' \
    <<<"$out" || fail "a span past 2106: $(head -1 <<<"$out")"
fi

if [ "$part" = memory ]; then
  if [ "$sanitized" = 1 ]; then
    echo "skipped: the sanitizers reserve more address space than any memory limit allows"
    exit 77
  fi
  # 320 MB of address space: more than two workers need, far less than 1024 would.
  out=$(ulimit -v 320000 && "$census" --threads 1024 --json 2>"$dir/err")
  rc=$?
  [ $rc -eq 0 ] || fail "--threads 1024 under a memory limit: exit $rc ($(cat "$dir/err"))"
  grep -q "1024 threads asked for, but this machine has" "$dir/err" ||
    fail "no note on the threads: $(cat "$dir/err")"
  cores=$(nproc)
  grep -q "\"threads\": $cores," <<<"$out" || fail "the report does not name $cores threads"
fi

[ $failures -eq 0 ] || exit 1
echo "vorel-census: every $part check passed"
