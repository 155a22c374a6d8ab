#!/usr/bin/env bash
# The Wine session the Windows tests share: a private prefix under STATE, one wineserver kept
# alive for the whole run (a cold start costs seconds per program) and, when no X display is set,
# a private Xvfb. Usage: wine-session.sh start|stop|prefix STATE
set -euo pipefail
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
# No .NET or HTML engine: the die needs neither, and their installers would ask to download.
export WINEDLLOVERRIDES="mscoree,mshtml="

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
  echo "wine-session: could not start Xvfb (see $state/xvfb.log)" >&2
  return 1
}

make_prefix() {
  # Two first starts at once race to create the prefix; one lock keeps them in turn.
  exec 9>"$state/prefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init </dev/null >/dev/null 2>&1 || true
    # Wine finds its caption-button font only inside the prefix.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    wineserver -w </dev/null >/dev/null 2>&1
  fi
  flock -u 9
}

case "$action" in
  start)
    if [ -z "${DISPLAY:-}" ]; then
      xvfb_alive || start_xvfb
      export DISPLAY=$(cat "$state/display")
    else
      rm -f "$state/display"
    fi
    make_prefix
    wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
    # On our own Xvfb no window manager runs: Wine then draws the frames itself, instead of
    # waiting for one (managed windows make every DestroyWindow wait two seconds).
    # This is also the session's first program, which starts Wine's own services; they live as
    # long as the wineserver and, started here, do not hold on to a test's output.
    managed=Y
    [ -f "$state/display" ] && managed=N
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f </dev/null >/dev/null 2>&1
    echo "wine-session: prefix $WINEPREFIX, display ${DISPLAY}"
    ;;
  prefix)
    make_prefix
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    if xvfb_alive; then kill "$(cat "$state/xvfb.pid")"; fi
    rm -f "$state/xvfb.pid" "$state/display"
    ;;
  *)
    echo "usage: wine-session.sh start|stop|prefix STATE" >&2
    exit 2
    ;;
esac
