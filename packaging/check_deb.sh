#!/usr/bin/env bash
# The Debian package of the Linux tools, made by cpack from this build as a user would make it:
# its name and fields, the run-time dependencies dpkg-shlibdeps found, the files it holds at
# which paths (and no others), stripped programs, and that they run once unpacked.
# Usage: check_deb.sh BUILD_DIR PACKAGE VERSION
set -uo pipefail
build=$1 package=$2 version=$3
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
need dpkg-deb dpkg-shlibdeps file
check_name="$package package"
make_scratch "${TMPDIR:-/tmp}"
out=$scratch

log=$(cd "$build" && cpack -G DEB -B "$out" 2>&1) || {
  fail "cpack -G DEB: $log"
  finish
}
deb=$out/${package}_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  fail "cpack made no $(basename "$deb"); it made: $(cd "$out" && ls -- *.deb 2>&1)"
  finish
fi

# The fields apt reads, the dependencies as dpkg-shlibdeps found them among them.
info=$(dpkg-deb --info "$deb")
for field in "Package: $package" "Version: $version" \
  "Architecture: $(dpkg --print-architecture)" "Section: utils"; do
  grep -qx " $field" <<<"$info" || fail "its control file lacks '$field'"
done
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for library in libc6 libhwy1 libstdc++6; do
  grep -q "\(^\|, \)$library\( (>= [^)]*)\)\?\(,\|$\)" <<<"$depends" ||
    fail "does not depend on $library: Depends: $depends"
done

# What it holds: the same files as `cmake --install`, under /usr.
contents=$(dpkg-deb --contents "$deb")
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sort)
expected="./usr/bin/vorel-census
./usr/bin/vorel-pick
./usr/share/bash-completion/completions/vorel-census
./usr/share/bash-completion/completions/vorel-pick
./usr/share/doc/vorel/README.md
./usr/share/man/man1/vorel-census.1
./usr/share/man/man1/vorel-pick.1"
[ "$files" = "$expected" ] || fail "holds
$files
instead of
$expected"
grep -q '^-rwxr-xr-x root/root .* \./usr/bin/vorel-census$' <<<"$contents" ||
  fail "vorel-census is not an executable owned by root"

# Unpacked, its programs are stripped and run.
dpkg-deb --extract "$deb" "$out/root"
for program in vorel-pick vorel-census; do
  kind=$(file -b "$out/root/usr/bin/$program")
  [[ $kind == ELF*", stripped" ]] || fail "$program is not a stripped ELF program: $kind"
  [ "$("$out/root/usr/bin/$program" --version)" = "$program $version" ] ||
    fail "$program --version does not print '$program $version'"
done
[ "$("$out/root/usr/bin/vorel-pick" --seed 0)" = "02,14,15,18,20,21,31" ] ||
  fail "vorel-pick --seed 0 does not print the pick of seed 0"

finish "$(basename "$deb"): the programs, manual pages, completions and README; depends on $depends"
