#!/usr/bin/env bash
# The Wine session the Windows tests share: a private prefix under STATE, one wineserver kept
# alive for the whole run (a cold start costs seconds per program) and, when no X display is set,
# a private Xvfb. ARCH is win32 (the 32-bit loader) or win64 (the 64-bit loader).
# Usage: wine-session.sh start|stop|prefix|runnable ARCH STATE
#        wine-session.sh exec ARCH STATE COMMAND [ARGUMENTS]
# `runnable` exits 0 when this host can run ARCH's programs, else prints why and exits 77, which
# CTest reads as a skip; `start` does the same before anything else, and `exec` before running a
# command that starts ARCH's programs itself.
set -euo pipefail
action=$1 arch=$2
state=$(mkdir -p "$3" && cd "$3" && pwd)
source "$(dirname "$0")/wine-env.sh"

xvfb_alive() { [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; }

start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then echo ":$n" >"$state/display"; return 0; fi
      kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-session: could not start Xvfb; it said:" >&2
  sed 's/^/  /' "$state/xvfb.log" >&2
  return 1
}

# Runs one step of setting up the session; when it fails, says which command and what it printed.
step() {
  local log=$state/step.log status=0
  "$@" </dev/null >"$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    echo "wine-session: '$*' failed with exit code $status; it printed:" >&2
    tail -n 30 "$log" | sed 's/^/  /' >&2
    return $status
  fi
}

make_prefix() {
  # Two first starts at once race to create the prefix; one lock keeps them in turn.
  exec 9>"$state/prefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # A first wineboot has been seen to fail once on a busy host ("could not load
    # kernel32.dll") and work when run again: one more try on a fresh prefix, saying so.
    if ! step "$wine_loader" wineboot --init; then
      echo "wine-session: trying once more with a new prefix" >&2
      "$wine_server" -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
      step "$wine_loader" wineboot --init
    fi
    step "$wine_server" -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-session: '$wine_loader wineboot --init' made no prefix in $WINEPREFIX" >&2
      return 1
    fi
    # Wine finds its caption-button font only inside the prefix.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
  fi
  flock -u 9
}

case "$action" in
  runnable)
    wine_runnable
    ;;
  exec)
    wine_runnable
    shift 3
    exec "$@"
    ;;
  start)
    wine_runnable
    if [ -z "${DISPLAY:-}" ]; then
      xvfb_alive || start_xvfb
      DISPLAY=$(cat "$state/display")
      export DISPLAY
    else
      rm -f "$state/display"
    fi
    make_prefix
    # -p keeps the server for the whole run; one already running for this prefix is fine.
    "$wine_server" -p </dev/null >/dev/null 2>&1 || true
    # On our own Xvfb no window manager runs: Wine then draws the frames itself, instead of
    # waiting for one (managed windows make every DestroyWindow wait two seconds).
    # This is also the session's first program, which starts Wine's own services; they live as
    # long as the wineserver and, started here, do not hold on to a test's output.
    managed=Y
    [ -f "$state/display" ] && managed=N
    step "$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f
    echo "wine-session: $arch prefix $WINEPREFIX, display ${DISPLAY}, loader $wine_loader"
    ;;
  prefix)
    make_prefix
    ;;
  stop)
    if [ -f "$WINEPREFIX/system.reg" ]; then "$wine_server" -k 2>/dev/null || true; fi
    if xvfb_alive; then kill "$(cat "$state/xvfb.pid")"; fi
    rm -f "$state/xvfb.pid" "$state/display"
    ;;
  *)
    echo "usage: wine-session.sh start|stop|prefix|runnable|exec win32|win64 STATE [COMMAND]" >&2
    exit 2
    ;;
esac
