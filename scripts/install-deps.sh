#!/usr/bin/env bash
# Installs what building and testing the die needs on Debian 12, and nothing when all is there.
# Safe to run again: every step first checks whether its work is already done.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format googletest libbenchmark-dev nlohmann-json3-dev libhwy-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine fonts-ipafont-gothic
  xvfb xdotool x11-utils x11-apps imagemagick locales zip time
  dpkg-dev groff man-db bash-completion zsh fish file jq lintian libxml2-utils shellcheck tzdata
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The 32-bit Wine loader comes from the i386 half of the archive. It installs on every host, also
# where the kernel cannot run it; the tests find that out by starting it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes code page 932 as its ANSI code page only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "install-deps: generating the ja_JP.UTF-8 locale"
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
