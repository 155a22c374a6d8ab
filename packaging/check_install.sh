#!/usr/bin/env bash
# `cmake --install` as a user runs it, into a fresh prefix: the programs land in bin/ and run,
# the manual pages, completions and README stand where man, bash-completion and a reader look
# (for a prefix of ~/.local, man finds the pages from bin/ on the PATH, and bash-completion its
# files in ~/.local/share), and
# nothing else is installed.
# Usage: check_install.sh BUILD_DIR
set -uo pipefail
build=$1
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
check_name="cmake --install"
make_scratch "${TMPDIR:-/tmp}"
prefix=$scratch

log=$(cmake --install "$build" --prefix "$prefix" 2>&1) || {
  fail "$build --prefix $prefix: $log"
  finish
}
expected="bin/vorel-census
bin/vorel-pick
share/bash-completion/completions/vorel-census
share/bash-completion/completions/vorel-pick
share/doc/vorel/README.md
share/man/man1/vorel-census.1
share/man/man1/vorel-pick.1"
installed=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed
$installed
instead of
$expected"

# The programs run from there.
[ "$("$prefix/bin/vorel-pick" --seed=0)" = "02,14,15,18,20,21,31" ] ||
  fail "bin/vorel-pick --seed=0 does not print the pick of seed 0"
[[ $("$prefix/bin/vorel-pick" --version) =~ ^vorel-pick\ [0-9] ]] || fail "bin/vorel-pick --version"
[[ $("$prefix/bin/vorel-census" --version) =~ ^vorel-census\ [0-9] ]] ||
  fail "bin/vorel-census --version"
report=$("$prefix/bin/vorel-census" --seeds 0:99)
grep -q '^Seeds covered: 100 ' <<<"$report" || fail "bin/vorel-census --seeds 0:99 does not count 100 seeds"

# man shows the page, and finds it by name with bin/ on the PATH.
if command -v man >/dev/null; then
  shown=$(MANWIDTH=80 man -l "$prefix/share/man/man1/vorel-census.1" 2>&1 | tr -s ' ')
  grep -q 'vorel-census - count the VOREL die' <<<"$shown" || fail "man -l shows: $shown"
  found=$(PATH="$prefix/bin:$PATH" MANPATH="" man -w vorel-census 2>&1)
  [ "$found" = "$prefix/share/man/man1/vorel-census.1" ] ||
    fail "with $prefix/bin on the PATH, man -w vorel-census gives '$found'"
else
  echo "man is not installed (scripts/install-deps.sh installs it): its checks are left out"
fi

# bash-completion loads the completion on first use from the user's data folder, which for a
# prefix of ~/.local is ~/.local/share.
if [ -r /usr/share/bash-completion/bash_completion ]; then
  loaded=$(XDG_DATA_HOME="$prefix/share" bash -c '
    source /usr/share/bash-completion/bash_completion &&
    __load_completion vorel-pick && complete -p vorel-pick' 2>&1)
  [[ $loaded == *"-F _vorel_pick vorel-pick" ]] ||
    fail "bash-completion does not load the installed completion of vorel-pick: '$loaded'"
else
  echo "bash-completion is not installed (scripts/install-deps.sh installs it): its check is left out"
fi

finish "cmake --install: the programs, their manual pages, completions and README, and nothing else"
