#!/usr/bin/env bash
# Opens the die under Wine. On a display, the window appears there. Without one, the die runs in a
# private Xvfb inside Wine's virtual desktop: one key press, a PNG screenshot of the whole window,
# and the path of the picture and the line it shows are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh
# The 32-bit die where this host runs 32-bit x86 code, else the same die built for 64-bit Windows.
arch=win32
status=0
reason=$(cmake/wine-session.sh runnable win32 build/win32/wine 2>&1) || status=$?
if [ $status -ne 0 ]; then
  arch=win64
  why=${reason#skipped: }
  echo "run: ${why%%; the same tests*}: opening the 64-bit die instead"
fi
cmake --preset $arch >/dev/null
cmake --build --preset $arch --target vorel screen_check >/dev/null
vorel=$top/build/$arch/shell/vorel.exe
check=$top/build/$arch/shell/screen_check.exe

if [ -n "${DISPLAY:-}" ]; then
  state=$top/build/run-$arch
  cmake/wine-session.sh start $arch "$state" >/dev/null
  status=0
  cmake/wine-run.sh $arch "$state" "$vorel" || status=$?
  cmake/wine-session.sh stop $arch "$state"
  exit $status
fi

state=$top/build/run-headless-$arch
cmake/wine-session.sh start $arch "$state" >/dev/null
trap 'cmake/wine-session.sh stop $arch "$state"' EXIT
DISPLAY=$(cat "$state/display")
export DISPLAY
wine_in() { "$top/cmake/wine-run.sh" $arch "$state" "$@" </dev/null; }
# Wine's virtual desktop draws the whole window, title bar and caption buttons included.
wine_in reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Die /f >/dev/null 2>&1
wine_in reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Die /d 480x320 /f >/dev/null 2>&1

cmake/wine-run.sh $arch "$state" "$vorel" </dev/null >/dev/null 2>&1 &
die=$!
desktop=""
for _ in $(seq 100); do
  desktop=$(xdotool search --onlyvisible --name 'Wine desktop' 2>/dev/null | head -n 1 || true)
  [ -n "$desktop" ] && wine_in "$check" where >/dev/null 2>&1 && break
  sleep 0.1
done
[ -n "$desktop" ] || { echo "run: the die did not start" >&2; exit 1; }
read -r x y w h < <(wine_in "$check" where 2>/dev/null | tr -d '\r')
eval "$(xdotool getwindowgeometry --shell "$desktop")"   # X, Y, WIDTH, HEIGHT of the desktop

# A click on the window makes it the active one in the desktop; clicks draw nothing.
xdotool windowfocus --sync "$desktop"
xdotool mousemove --window "$desktop" $((x + w / 2)) $((y + h / 2)) click 1
sleep 0.3
first=$(date +%s)
xdotool key space
sleep 0.7
last=$(date +%s)
shot=$state/vorel-screenshot.png
xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$state/desktop.ppm"
convert "$state/desktop.ppm" -crop "${w}x${h}+$x+$y" +repage "$shot"
line=$(cd "$state" && wine_in "$check" line desktop.ppm "$first" "$last" | tr -d '\r') || true
kill "$die" 2>/dev/null || true
echo "screenshot: $shot"
echo "line shown: ${line:-(none recognised)}"
