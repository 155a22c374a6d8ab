#!/usr/bin/env bash
# Runs one Windows program under Wine in the session of wine-session.sh.
# Usage: wine-run.sh STATE program.exe [arguments]
set -euo pipefail
state=$(mkdir -p "$1" && cd "$1" && pwd)
shift
export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}" LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ] && [ -f "$state/display" ]; then
  DISPLAY=$(cat "$state/display")
  export DISPLAY
fi
[ -f "$WINEPREFIX/system.reg" ] || "$(dirname "$0")/wine-session.sh" prefix "$state"
exec wine "$@"
