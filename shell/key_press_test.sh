#!/usr/bin/env bash
# A person's key press, end to end: the die runs under Wine on the session's X display, a real
# key event goes through the X server, and the screen then shows the pick of that second.
# Usage: key_press_test.sh win32|win64 WINE_STATE vorel.exe screen_check.exe
set -euo pipefail
arch=$1 state=$2 vorel=$3 check=$4
here=$(cd "$(dirname "$0")/.." && pwd)
# A host that cannot run this build's programs skips the test (exit 77), saying why.
"$here/cmake/wine-session.sh" runnable "$arch" "$state"
run() { "$here/cmake/wine-run.sh" "$arch" "$state" "$@"; }
if [ -z "${DISPLAY:-}" ]; then DISPLAY=$(cat "$state/display"); export DISPLAY; fi
work=$(mktemp -d)
cd "$work"
# Started directly, so $! becomes the die's own process; kept off this test's output.
"$here/cmake/wine-run.sh" "$arch" "$state" "$vorel" </dev/null >/dev/null 2>&1 &
die=$!
trap 'kill $die 2>/dev/null || true; rm -rf "$work"' EXIT

# The die's X window, found by its title (xdotool cannot match non-ASCII names itself).
window=""
for _ in $(seq 100); do
  for id in $(xdotool search --onlyvisible --class vorel 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$id")" = "VOREL用サイコロ" ] && window=$id
  done
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the die's window did not appear"; exit 1; }

# Reads the screen until it shows what is expected (exit code `want` of screen_check), for up to
# three seconds: painted pixels reach the X server a little after the window has painted them.
# A last second of "now" means the second in which the screen was read.
read_line() {
  local want=$1 first=$2 upper=$3
  for _ in $(seq 12); do
    sleep 0.25
    xwd -root -silent | convert xwd:- screen.ppm
    last=$upper
    [ "$upper" = now ] && last=$(date +%s)
    set +e
    line=$(run "$check" line screen.ppm "$first" "$last" | tr -d '\r')
    code=$?
    set -e
    [ "$code" -eq "$want" ] && return 0
  done
  return 1
}

read_line 3 0 0 || { echo "FAIL: before any key the screen should show 00s (got '$line', $code)"; exit 1; }
echo "before the key: $line"

xdotool windowfocus --sync "$window"
first=$(date +%s)
xdotool key --window "$window" space
read_line 0 "$first" now || { echo "FAIL: after the key the screen shows '$line' ($code)"; exit 1; }
echo "after the key, handled between $first and $last: $line"
