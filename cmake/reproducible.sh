#!/usr/bin/env bash
# Builds the Windows programs again from scratch in another folder, with the same toolchain, and
# compares them byte for byte with this build's, so anyone can check a released .exe against the
# source. Usage: reproducible.sh SOURCE_DIR BUILD_DIR TOOLCHAIN_FILE
set -euo pipefail
source=$1 build=$2 toolchain=$3
again=$(mktemp -d /tmp/vorel-again.XXXXXX)
trap 'rm -rf "$again"' EXIT
cmake -S "$source" -B "$again" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$again" --target vorel vorel-pick >/dev/null
status=0
for exe in shell/vorel.exe tools/pick/vorel-pick.exe; do
  if cmp -s "$build/$exe" "$again/$exe"; then
    echo "same bytes: $exe ($(stat -c %s "$build/$exe") bytes, sha256 $(sha256sum <"$build/$exe" | cut -c1-16)…)"
  else
    echo "DIFFERENT: $exe"
    status=1
  fi
done
exit $status
