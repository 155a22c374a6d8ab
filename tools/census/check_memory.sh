#!/usr/bin/env bash
# vorel-census under a memory limit: a thousand threads asked for take no more memory than the
# cores' workers need; too little memory for one worker, a thread's stack or a second worker is
# one line and exit 1, and the old chart stays, alone in its folder.
# Usage: check_memory.sh CENSUS WORK_DIR SANITIZED(0|1)
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
[ "$3" = 1 ] && skip "the sanitizers reserve more address space than any memory limit allows"
make_chart_scratch "$2"

# 320 MB of address space: more than two workers need, far less than 1024 would.
out=$(ulimit -v 320000 && "$census" --threads 1024 --json 2>"$err")
expect_status 0 $? "--threads 1024 under a memory limit" "$(cat "$err")"
grep -q "1,024 threads asked for, but this process may run on" "$err" ||
  fail "no note on the threads: $(cat "$err")"
grep -q "\"threads\": $(nproc)," <<<"$out" || fail "the report does not name $(nproc) threads"

for limit in 60000 100000 128000 136000 160000; do
  old_chart "$charts"
  (ulimit -v $limit && exec "$census" --seeds 0:199999 --chart "$charts/c.svg" --threads 2 \
    >/dev/null 2>"$err")
  rc=$?
  [ $rc -eq 0 ] && continue # enough here after all
  expect_status 1 $rc "ulimit -v $limit" "$(cat "$err")"
  expect_one_line "$err" vorel-census "ulimit -v $limit"
  grep -Eq '^vorel-census: (out of memory|cannot start a worker thread)' "$err" ||
    fail "ulimit -v $limit: said '$(cat "$err")'"
  chart_kept "$charts" "ulimit -v $limit"
done
(ulimit -v 100000 && exec "$census" --seeds 0:199999 --threads 2 --chart "$charts/c.svg" \
  >/dev/null 2>"$err")
grep -q '^vorel-census: out of memory' "$err" || fail "ulimit -v 100000: said '$(cat "$err")'"

finish "vorel-census: bounded memory, and one line when it runs out"
