#!/usr/bin/env bash
# Runs one Windows program under Wine in the session of wine-session.sh.
# Usage: wine-run.sh win32|win64 STATE program.exe [arguments]
# Where this host cannot run ARCH's programs, says why and exits 77, which CTest reads as a skip.
set -euo pipefail
arch=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
source "$(dirname "$0")/wine-env.sh"
wine_runnable >&2
if [ -z "${DISPLAY:-}" ] && [ -f "$state/display" ]; then
  DISPLAY=$(cat "$state/display")
  export DISPLAY
fi
[ -f "$WINEPREFIX/system.reg" ] || "$(dirname "$0")/wine-session.sh" prefix "$arch" "$state"
exec "$wine_loader" "$@"
