#!/usr/bin/env bash
# The Debian package of the Linux tools, made by cpack from this build as a user would make it:
# its name and fields, the run-time dependencies dpkg-shlibdeps found, the files it holds at
# which paths (and no others), stripped programs, that they run once unpacked, and that lintian
# finds nothing to say of it, even pedantically (a tag it is told to let pass has its reason in
# the package); and that making it leaves the install manifest of the build as it was.
# Usage: check_deb.sh BUILD_DIR PACKAGE VERSION RELEASE (the package's version is VERSION-RELEASE)
set -uo pipefail
build=$1 package=$2 version=$3 release=$4
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
need dpkg-deb dpkg-shlibdeps file
check_name="$package package"
make_scratch "${TMPDIR:-/tmp}"
out=$scratch

# The install manifest of a user's own install stands in the build while the package is made
# (or a stand-in, removed afterwards), and is put back whatever cpack did to it.
manifest=$build/install_manifest.txt
if [ -e "$manifest" ]; then
  cp -p "$manifest" "$out/manifest"
  put_back() { cp -p "$out/manifest" "$manifest"; }
else
  printf '/a/file/a/user/installed\n' >"$manifest"
  cp -p "$manifest" "$out/manifest"
  put_back() { rm -f "$manifest"; }
fi

log=$(cd "$build" && cpack -G DEB -B "$out" 2>&1) || {
  fail "cpack -G DEB: $log"
  finish
}
deb=$out/${package}_${version}-${release}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  fail "cpack made no $(basename "$deb"); it made: $(cd "$out" && ls -- *.deb 2>&1)"
  finish
fi

cmp -s "$out/manifest" "$manifest" || fail "making it rewrote $manifest"

# The fields apt reads, the dependencies as dpkg-shlibdeps found them among them.
info=$(dpkg-deb --info "$deb")
for field in "Package: $package" "Version: $version-$release" \
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
./usr/share/doc/vorel-tools/README.md
./usr/share/doc/vorel-tools/changelog.Debian.gz
./usr/share/doc/vorel-tools/changelog.gz
./usr/share/doc/vorel-tools/copyright
./usr/share/fish/vendor_completions.d/vorel-census.fish
./usr/share/fish/vendor_completions.d/vorel-pick.fish
./usr/share/lintian/overrides/vorel-tools
./usr/share/man/man1/vorel-census.1.gz
./usr/share/man/man1/vorel-pick.1.gz
./usr/share/zsh/vendor-completions/_vorel-census
./usr/share/zsh/vendor-completions/_vorel-pick"
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

# lintian, at every level down to its pedantic and informational tags, has nothing to say.
if command -v lintian >/dev/null; then
  said=$(lintian --pedantic --display-info "$deb" 2>&1 |
    grep -v '^running with root privileges is not recommended!$')
  [ -z "$said" ] || fail "lintian --pedantic --display-info says:
$said"
else
  echo "lintian is not installed (scripts/install-deps.sh installs it): its check is left out"
fi

finish "$(basename "$deb"): the programs, manual pages, completions, README, changelogs and" \
  "copyright; depends on $depends; lintian accepts it"
