#!/usr/bin/env bash
# vorel-census --find over every seed, and its "when next" (--from now --first 3), run in turn
# with the whole census of the same build, with the best instruction set and with AVX2 (or the
# ones named): every run's wall time and peak memory, then for each the median time and the median
# of each round's ratio to the census with the same instruction set. Runs are taken in turn, so
# that a busy spell on the machine falls on all of them alike.
#
# Usage: bench/find_side_by_side.sh [ROUNDS [NAME...]]
#   ROUNDS  rounds of every run (default 5)
#   NAME    instruction sets, by the names --help lists (default: the best, and AVX2)
set -euo pipefail
rounds=${1:-5}
top=$(cd "$(dirname "$0")/.." && pwd)
census=$top/build/release/tools/census/vorel-census
[ -x "$census" ] || { echo "build this tree first: cmake --workflow --preset release" >&2; exit 2; }
targets=("${@:2}")
if [ ${#targets[@]} -eq 0 ]; then
  best=$("$census" --help |
    sed -n '/^Instruction sets this processor runs, best first:$/{n;s/^ *//;s/,.*//;p;q}')
  targets=("$best" AVX2)
fi
pick=02,14,15,18,20,21,31  # seed 0's

names=() commands=()
for target in "${targets[@]}"; do
  names+=("census-$target" "find-$target" "next3-$target")
  commands+=("$census --threads 2 --target $target"
             "$census --threads 2 --target $target --find $pick"
             "$census --threads 2 --target $target --find $pick --from now --first 3")
done

declare -A times ratios
for ((round = 1; round <= rounds; ++round)); do
  declare -A this=()
  for i in "${!names[@]}"; do
    # shellcheck disable=SC2086 # each command is words
    line=$({ /usr/bin/time -f "%e %M" ${commands[$i]} >/dev/null; } 2>&1 | tail -1)
    read -r seconds kilobytes <<<"$line"
    printf 'round %d  %-16s %7.2f s  %4d MB peak\n' "$round" "${names[$i]}" "$seconds" \
      $((kilobytes / 1024))
    times[${names[$i]}]="${times[${names[$i]}]:-} $seconds"
    this[${names[$i]}]=$seconds
  done
  for name in "${names[@]}"; do
    reference=${this[census-${name#*-}]}
    ratios[$name]="${ratios[$name]:-} $(awk -v a="${this[$name]}" -v b="$reference" 'BEGIN {print a / b}')"
  done
done

echo
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{a[NR] = $1} END {print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2)}'; }
printf '%-16s %8s  %-22s  %s\n' run median "median of round ratios" "all runs (s)"
for name in "${names[@]}"; do
  ratio=$(echo "${ratios[$name]}" | median)
  printf '%-16s %7.2fs  %-22.3f %s   (ratios:%s)\n' "$name" "$(echo "${times[$name]}" | median)" \
    "$ratio" "${times[$name]}" "${ratios[$name]}"
done
