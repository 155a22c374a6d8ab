#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the Linux build (with AddressSanitizer
# and UndefinedBehaviorSanitizer) and the 32-bit Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --workflow --preset native
cmake --workflow --preset win32
