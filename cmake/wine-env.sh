# Sourced by wine-session.sh and wine-run.sh with $arch and $state set: the environment of one
# Wine session, and the loader that runs its programs. The loaders are called directly: the
# /usr/bin/wine wrapper takes the 32-bit loader whenever it is installed, even on a host that
# cannot run it.
# VOREL_WINE_DIR stands in for Debian's folder of loaders, for the test of wine_runnable itself.
wine_dir=${VOREL_WINE_DIR:-/usr/lib/wine}
case "$arch" in
  win32) wine_loader=$wine_dir/wine ;;
  win64) wine_loader=$wine_dir/wine64 ;;
  *)
    echo "wine: unknown architecture '$arch' (win32 or win64)" >&2
    exit 2
    ;;
esac
wine_server=$wine_dir/wineserver64
[ -x "$wine_server" ] || wine_server=wineserver
export WINEPREFIX="$state/prefix" WINEARCH=$arch WINEDEBUG="${WINEDEBUG:--all}" LC_ALL=ja_JP.UTF-8
# No .NET or HTML engine: the die needs neither, and their installers would ask to download.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Exits 77 (a skip, to CTest) with one line saying why, when this host cannot run the loader of
# $arch; any other trouble with the loader is a failure. The check starts the loader itself:
# whether the kernel runs 32-bit code cannot be read reliably from uname.
wine_runnable() {
  local why="" out
  if [ "$arch" = win32 ] && [ "${VOREL_NO_WIN32_RUN:-0}" = 1 ]; then
    why="VOREL_NO_WIN32_RUN=1 treats this host as one that cannot run 32-bit x86 programs"
  elif [ ! -x "$wine_loader" ]; then
    echo "wine: the loader $wine_loader is not installed (run scripts/install-deps.sh)" >&2
    exit 1
  elif ! out=$(LC_ALL=C bash -c 'exec "$0" --version' "$wine_loader" 2>&1); then
    if [ "$arch" = win32 ] && [[ "$out" == *"Exec format error"* ]]; then
      why="this host cannot run 32-bit x86 programs (no IA-32 emulation in its kernel)"
    else
      echo "wine: '$wine_loader --version' failed: $out" >&2
      exit 1
    fi
  fi
  if [ -n "$why" ]; then
    echo "skipped: $why; the same tests run against the 64-bit build (preset win64)"
    exit 77
  fi
}
