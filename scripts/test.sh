#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the Linux build with AddressSanitizer
# and UndefinedBehaviorSanitizer, the optimised Linux build (where the tests the sanitizers rule
# out run too), the 64-bit Windows build under Wine's 64-bit loader and the 32-bit Windows build
# under its 32-bit loader. Where this host cannot run 32-bit x86 code, the 32-bit build is still
# built and checked, and its tests that start a program show as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
failed=()
for preset in native release win64 win32; do
  if [ "$preset" = win32 ]; then
    status=0
    reason=$(cmake/wine-session.sh runnable win32 build/win32/wine 2>&1) || status=$?
    if [ $status -eq 77 ]; then
      echo "test: the win32 tests that start a program are $reason"
    elif [ $status -ne 0 ]; then
      echo "test: Wine's 32-bit loader does not work: $reason"
    fi
  fi
  cmake --workflow --preset "$preset" || failed+=("$preset")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "test: failed: ${failed[*]}" >&2
  exit 1
fi
echo "test: every preset passed (native, release, win64, win32)"
