#!/usr/bin/env bash
# vorel-census asked for more threads than the cores this process may run on: cut to them, with a
# note on stderr, and the report names no more threads than the note allows; pinned to one core,
# one thread counts.
# Usage: check_threads.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_scratch "$2"
err=$scratch/err

cores=$(nproc)
"$census" --seeds 0:199999 --threads 1025 --json >"$scratch/out" 2>"$err"
grep -q "^vorel-census: 1,025 threads asked for, but this process may run on $cores core" "$err" ||
  fail "--threads 1025: said '$(cat "$err")'"
ran=$(sed -n 's/^ *"threads": \([0-9]*\),$/\1/p' "$scratch/out")
{ [ -n "$ran" ] && [ "$ran" -ge 1 ] && [ "$ran" -le "$cores" ]; } ||
  fail "--threads 1025: the report names '$ran' threads"
"$census" --seeds 0:9 --threads $((cores + 1)) >"$scratch/out" 2>"$err"
{ grep -q "at most $cores thread" "$err" && grep -q '^Time: .* on 1 thread$' "$scratch/out"; } ||
  fail "ten seeds on $((cores + 1)) threads: '$(cat "$err")' and '$(grep '^Time' "$scratch/out")'"
if taskset -c 0 true 2>/dev/null; then
  said=$(taskset -c 0 "$census" --seeds 0:9 --threads 2 2>&1 >/dev/null)
  [ "$said" = "vorel-census: 2 threads asked for, but this process may run on 1 core: at most 1 thread counts" ] ||
    fail "pinned to one core: said '$said'"
fi

finish "vorel-census: no more threads than the cores it may run on"
