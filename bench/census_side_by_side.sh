#!/usr/bin/env bash
# The whole census, every seed on 2 threads, run in turn with a build before a change and with
# this build's walk for each instruction set this processor runs, and this build's spans of
# seeds: every run's wall time and peak memory, then the median of each, and the median of each
# round's ratio to the old build and, for each instruction set, to this build's best one. Where
# the old build takes --target, it runs each instruction set named too (old-AVX2, ...; "old" is
# its best), and each of this build's runs of a set is held against the old build's run of the
# same set. Runs are
# taken in turn, so that a busy spell on the machine falls on all of them alike. The first line
# names the processor.
#
# Usage: bench/census_side_by_side.sh OLD_TREE [ROUNDS [NAME...]]
#   OLD_TREE  a checkout of the build before, built there with cmake --workflow --preset release:
#             a commit before the change measured (git worktree add /tmp/old main), or the build
#             before the walk was written with Highway (git worktree add /tmp/old 951aa91)
#   ROUNDS    runs of each (default 5)
#   NAME      only these of the runs listed below (old, old-fallback, an instruction set, a span);
#             "old" always runs, as the reference, and so does the old build's run of each
#             instruction set named
# Against the build before the walk was written with Highway, also times its one-draw-at-a-time
# walk, which it runs where AVX-512 is missing, through a small driver built here against its
# library (old-fallback); later builds have no such walk, and the run is left out.
set -euo pipefail
old=$(cd "$1" && pwd)
rounds=${2:-5}
only=" old ${*:3} "
top=$(cd "$(dirname "$0")/.." && pwd)
new=$top/build/release/tools/census/vorel-census
[ -x "$new" ] || { echo "build this tree first: cmake --workflow --preset release" >&2; exit 2; }
[ -x "$old/build/release/tools/census/vorel-census" ] || { echo "build $old first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names=(old)
commands=("$old/build/release/tools/census/vorel-census --threads 2")
# The one-draw walk's driver, only where the old build has that walk (CensusPath::kBitInstructions).
if grep -q 'kBitInstructions' "$old/tools/census/census.h" 2>/dev/null; then
  cat >"$work/fallback.cpp" <<'EOF'
// The old census of every seed with its one-draw walk (with the bit-counting instructions).
#include "census.h"
int main() {
  CensusOptions options;
  options.threads = 2;
  options.path = CensusPath::kBitInstructions;
  return RunCensus(options).seedsCovered == 1ull << 32 ? 0 : 1;
}
EOF
  lib=$old/build/release
  g++ -O2 -std=c++17 -I"$old/tools/census" -I"$old/draw" -I"$old/tools/common" \
    "$work/fallback.cpp" "$lib/tools/census/libvorel_census.a" \
    "$lib/tools/common/libvorel_cli.a" "$lib/draw/libvorel_draw.a" -lpthread \
    -o "$work/old-fallback"
  names+=(old-fallback)
  commands+=("$work/old-fallback")
else
  echo "old-fallback left out: $old has no one-draw walk of its own to time" >&2
fi

# The instruction sets a build's --help lists, best first: on the heading's line in older builds,
# on the line below it since.
sets() {
  "$1" --help |
    sed -n '/^Instruction sets this processor runs, best first:/{s/^[^:]*: *//;/./{p;q};n;p;q}' |
    tr -d , | xargs
}
targets=$(sets "$new")
# The old build's own instruction sets, where it takes --target: "old" runs its best one already.
old_targets=$(sets "$old/build/release/tools/census/vorel-census")
for target in $targets; do
  names+=("$target")
  commands+=("$new --threads 2 --target $target")
  if [[ " $old_targets " == *" $target "* && $target != "${old_targets%% *}" ]]; then
    names+=("old-$target")
    commands+=("$old/build/release/tools/census/vorel-census --threads 2 --target $target")
  fi
done
# Spans with the best instruction set: all seeds but one, and the spans just at and just below
# the length from which a span is walked.
walked=$(sed -n 's/^constexpr uint64_t kWalkSpanAtLeast = \([0-9]*\);/\1/p' "$top/tools/census/census.h")
names+=(span-all-but-1 span-walked span-seedwise)
commands+=("$new --threads 2 --seeds 0:4294967294" "$new --threads 2 --seeds 0:$((walked - 1))"
           "$new --threads 2 --seeds 0:$((walked - 2))")

if [ "$only" != " old  " ]; then
  for i in "${!names[@]}"; do
    [[ $only == *" ${names[$i]} "* || $only == *" ${names[$i]#old-} "* ]] ||
      unset "names[$i]" "commands[$i]"
  done
fi

echo "host: $(sed -n 's/^vendor_id\s*: //p' /proc/cpuinfo | head -1), $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), family $(sed -n 's/^cpu family\s*: //p' /proc/cpuinfo | head -1) model $(sed -n 's/^model\s*: //p' /proc/cpuinfo | head -1); Highway runs $targets"

best=${targets%% *}  # this build's best instruction set: the others are held against it too
declare -A times toold tobest
for ((round = 1; round <= rounds; ++round)); do
  declare -A this=()
  for i in "${!names[@]}"; do
    # shellcheck disable=SC2086
    line=$({ /usr/bin/time -f "%e %M" ${commands[$i]} >/dev/null; } 2>&1 | tail -1)
    read -r seconds kilobytes <<<"$line"
    printf 'round %d  %-13s %7.2f s  %4d MB peak\n' "$round" "${names[$i]}" "$seconds" \
      $((kilobytes / 1024))
    times[${names[$i]}]="${times[${names[$i]}]:-} $seconds"
    this[${names[$i]}]=$seconds
  done
  # Each run against the old build's (of the same instruction set, where it ran) and against the
  # best instruction set's of the same round.
  for name in "${names[@]}"; do
    reference=${this[old-$name]:-${this[old]}}
    toold[$name]="${toold[$name]:-} $(awk -v a="${this[$name]}" -v b="$reference" 'BEGIN {print a / b}')"
    if [ -n "${this[$best]:-}" ] && [[ " $targets " == *" $name "* ]]; then
      tobest[$name]="${tobest[$name]:-} $(awk -v a="${this[$name]}" -v b="${this[$best]}" 'BEGIN {print a / b}')"
    fi
  done
done

echo
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{a[NR] = $1} END {print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2)}'; }
printf '%-13s %8s %9s %9s %9s  %s\n' build median "vs old" "÷ old" "÷ $best" "all runs (s)"
echo "(vs old: the medians' ratio; ÷ old and ÷ $best: the median of each round's ratio; an"
echo " instruction set is held against the old build's run of the same set, where it ran)"
for name in "${names[@]}"; do
  reference=$(echo "${times[old-$name]:-${times[old]}}" | median)
  m=$(echo "${times[$name]}" | median)
  b=-
  if [ -n "${tobest[$name]:-}" ]; then b=$(echo "${tobest[$name]}" | median); fi
  printf '%-13s %7.2fs %9.3f %9.3f %9s %s\n' "$name" "$m" \
    "$(awk -v a="$m" -v b="$reference" 'BEGIN {print a / b}')" "$(echo "${toold[$name]}" | median)" \
    "$b" "${times[$name]}"
done
echo
echo "each round's ratios to old:"
for name in "${names[@]}"; do printf '  %-13s%s\n' "$name" "${toold[$name]}"; done
if [ -n "${tobest[$best]:-}" ]; then
  echo "each round's ratios to $best:"
  for name in "${names[@]}"; do
    if [ -n "${tobest[$name]:-}" ]; then printf '  %-13s%s\n' "$name" "${tobest[$name]}"; fi
  done
fi
