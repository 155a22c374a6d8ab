#!/usr/bin/env bash
# Reruns the benchmarks whose figures the README records.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh
cmake --workflow --preset release >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target vorel bare_window bare_window_comctl startup_bench >/dev/null

echo "== one draw and one line (native, Release)"
build/release/bench/draw_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

echo "== size of the Windows programs"
for exe in build/win32/shell/vorel.exe build/win32/bench/bare_window.exe; do
  printf '%-40s %6d bytes\n' "$exe" "$(stat -c %s "$exe")"
done

echo "== process start to first painted line, under Wine"
state=$top/build/bench-wine
cmake/wine-session.sh start "$state" >/dev/null
trap 'cmake/wine-session.sh stop "$state"' EXIT
windows_path() { local p="$top/$1"; echo "Z:${p//\//\\}"; }
cmake/wine-run.sh "$state" build/win32/bench/startup_bench.exe "${RUNS:-30}" \
  "VOREL=$(windows_path build/win32/shell/vorel.exe)" \
  "BARE=$(windows_path build/win32/bench/bare_window.exe)" \
  "BARE=$(windows_path build/win32/bench/bare_window_comctl.exe)"
echo "== census of every seed (native, Release)"
build/release/bench/census_bench
/usr/bin/time -f "vorel-census: %e s wall, %M KB peak memory" build/release/tools/census/vorel-census >/dev/null
