#!/usr/bin/env bash
# vorel-census --verify as a user runs it, over a short span of seeds: the program finds the walk
# and the draw agree, says so on the output and nothing on stderr, exit 0; the build of it with a
# fault in its fast count (census_seam.h) finds the difference, prints nothing on the output, one
# line on stderr and exits with 3. Which figures it names, and how, is census_verify_test's to
# show.
# Usage: check_verify.sh CENSUS CENSUS_WITH_FAULT SANITIZED(0|1)
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$1 faulty=$2
[ "$3" = 1 ] && skip "two walks of the whole cycle under the sanitizers take minutes; the" \
  "release preset runs this check"
make_scratch "${TMPDIR:-/tmp}"

"$census" --verify --seeds 0:99999 --threads 2 >"$scratch/out" 2>"$scratch/err"
expect_status 0 $? "--verify" "$(cat "$scratch/err")"
[ ! -s "$scratch/err" ] || fail "--verify: said '$(cat "$scratch/err")'"
grep -q '^verified (' "$scratch/out" || fail "--verify: printed '$(cat "$scratch/out")'"

"$faulty" --verify --seeds 0:99999 --threads 2 >"$scratch/out" 2>"$scratch/err"
expect_status 3 $? "--verify with a fault" "$(cat "$scratch/err")"
[ ! -s "$scratch/out" ] || fail "--verify with a fault: printed '$(cat "$scratch/out")'"
expect_one_line "$scratch/err" vorel-census "--verify with a fault"

finish "vorel-census --verify: exit 0 where the counts agree, 3 and one line where they do not"
