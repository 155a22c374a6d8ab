#!/usr/bin/env bash
# Reruns the benchmarks whose figures docs/performance.md records.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
for arch in win32 win64; do
  cmake --preset $arch >/dev/null
  cmake --build --preset $arch --target vorel bare_window bare_window_comctl startup_bench >/dev/null
done

echo "== one draw and one line (native, Release)"
build/release/bench/draw_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

echo "== size of the Windows programs"
for arch in win32 win64; do
  for exe in build/$arch/shell/vorel.exe build/$arch/bench/bare_window.exe; do
    printf '%-40s %6d bytes\n' "$exe" "$(stat -c %s "$exe")"
  done
done

echo "== process start to first painted line, under Wine"
windows_path() { local p="$top/$1"; echo "Z:${p//\//\\}"; }
for arch in win32 win64; do
  if ! why=$(cmake/wine-session.sh runnable $arch build/bench-wine-$arch 2>&1); then
    echo "$arch: $why"
    continue
  fi
  state=$top/build/bench-wine-$arch
  cmake/wine-session.sh start $arch "$state" >/dev/null
  cmake/wine-run.sh $arch "$state" build/$arch/bench/startup_bench.exe "${RUNS:-30}" \
    "VOREL=$(windows_path build/$arch/shell/vorel.exe)" \
    "BARE=$(windows_path build/$arch/bench/bare_window.exe)" \
    "BARE=$(windows_path build/$arch/bench/bare_window_comctl.exe)" || true
  cmake/wine-session.sh stop $arch "$state"
done

echo "== census of every seed (native, Release)"
build/release/bench/census_bench
echo "== where the census's time goes: the walk and the counter apart (native, Release)"
build/release/bench/census_split_bench "${ROUNDS:-3}"
/usr/bin/time -f "vorel-census: %e s wall, %M KB peak memory" build/release/tools/census/vorel-census >/dev/null

echo "== --find over every seed, in turn with the census (native, Release)"
bash bench/find_side_by_side.sh "${ROUNDS:-5}"
