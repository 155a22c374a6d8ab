#!/usr/bin/env bash
# vorel-census --verify as a user runs it, over a short span of seeds, which it holds along the
# walk of the whole cycle against the same span drawn seed by seed. The program finds the two
# agree and says so; a build of it with one seed moved between picks in its fast count finds the
# difference, names the figures that differ and exits with 3.
# Usage: check_verify.sh CENSUS CENSUS_WITH_FAULT SANITIZED(0|1)
set -uo pipefail
export TZ=UTC # a zone the check names, never the machine's own
census=$1 faulty=$2 sanitized=$3
if [ "$sanitized" = 1 ]; then
  echo "skipped: two walks of the whole cycle under the sanitizers take minutes; the release" \
    "preset runs this check"
  exit 77
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$census" --verify --seeds 0:99999 --threads 2 >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] && [ ! -s "$work/err" ] && grep -q '^verified (' "$work/out" ||
  fail "--verify: exit $rc, printed '$(cat "$work/out")', said '$(cat "$work/err")'"

"$faulty" --verify --seeds 0:99999 --threads 2 >"$work/out" 2>"$work/err"
rc=$?
expected="vorel-census: 0 seeds disagree; the census walked with [A-Z0-9_]* differs from the plain count in pick counts, number counts"
[ $rc -eq 3 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
  grep -qx "$expected" "$work/err" ||
  fail "--verify with a seed moved between picks: exit $rc, printed '$(cat "$work/out")'," \
    "said '$(cat "$work/err")'"

[ $failures -eq 0 ] || exit 1
echo "vorel-census --verify: agrees where the counts agree, names the figures where they do not"
