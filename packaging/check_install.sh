#!/usr/bin/env bash
# `cmake --install --strip` as a user runs it, and the uninstall target after it. Into a prefix of
# its own: the files land where man, bash-completion and a reader look, and nothing else is
# installed; the programs are stripped and run; bash-completion loads their completions with the
# line their manual pages give for such a prefix, and not without it; fish loads its completion
# from the prefix's data folder and zsh registers its own from the prefix's folder on its fpath. Into ~/.local of a home that
# already holds a program and an empty folder: man finds the pages by name and bash-completion the
# completions, with nothing set; and the uninstall leaves the home as it was, the folders that
# were there before included. The build's own install manifest and folder record are put back
# afterwards, so that the uninstall of a user's own install still finds it.
# Usage: check_install.sh BUILD_DIR MAN_DIR
set -uo pipefail
build=$1 mandir=$2
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
check_name="cmake --install"
make_scratch "${TMPDIR:-/tmp}"
work=$scratch
records=(install_manifest.txt install_folders.txt)
for record in "${records[@]}"; do
  [ -e "$build/$record" ] && cp -p "$build/$record" "$work/saved-$record"
done
put_back() {
  for record in "${records[@]}"; do
    if [ -e "$work/saved-$record" ]; then
      cp -p "$work/saved-$record" "$build/$record"
    else
      rm -f "$build/$record"
    fi
  done
}

install_into() {
  local log
  log=$(cmake --install "$build" --prefix "$1" --strip 2>&1) || {
    fail "$build --prefix $1 --strip: $log"
    finish
  }
}

# Every file and folder below a folder, one a line.
tree() { (cd "$1" && find . -mindepth 1 | sort); }

# Loads a program's completion in a new bash that has only the given settings (and HOME), as
# bash-completion loads it at the first Tab, and prints what it registered.
completion_in() {
  local home=$1 setting=$2 program=$3
  env -i HOME="$home" PATH="$PATH" bash -c "$setting
    source /usr/share/bash-completion/bash_completion &&
    __load_completion $program && complete -p $program" 2>&1
}
have_completion=0
[ -r /usr/share/bash-completion/bash_completion ] && have_completion=1
[ $have_completion = 1 ] ||
  echo "bash-completion is not installed (scripts/install-deps.sh installs it): its checks are left out"

# A prefix of its own.
prefix=$work/opt/vorel
install_into "$prefix"
expected="bin/vorel-census
bin/vorel-pick
share/bash-completion/completions/vorel-census
share/bash-completion/completions/vorel-pick
share/doc/vorel-tools/LICENSE
share/doc/vorel-tools/README.md
share/doc/vorel-tools/changelog.gz
share/doc/vorel-tools/copyright
share/fish/vendor_completions.d/vorel-census.fish
share/fish/vendor_completions.d/vorel-pick.fish
share/man/man1/vorel-census.1.gz
share/man/man1/vorel-pick.1.gz
share/zsh/vendor-completions/_vorel-census
share/zsh/vendor-completions/_vorel-pick"
installed=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed
$installed
instead of
$expected"

# The programs are stripped as Debian strips them, and run from there.
for program in vorel-pick vorel-census; do
  sections=$(readelf -SW "$prefix/bin/$program" 2>&1)
  grep -qE ' \.(symtab|comment) ' <<<"$sections" &&
    fail "bin/$program keeps its symbols or the compiler's comment"
  [[ $("$prefix/bin/$program" --version) =~ ^$program\ [0-9] ]] || fail "bin/$program --version"
done
[ "$("$prefix/bin/vorel-pick" --seed=0)" = "02,14,15,18,20,21,31" ] ||
  fail "bin/vorel-pick --seed=0 does not print the pick of seed 0"
report=$("$prefix/bin/vorel-census" --seeds 0:99)
grep -q '^Seeds covered: 100 ' <<<"$report" || fail "bin/vorel-census --seeds 0:99 does not count 100 seeds"

# The line each manual page gives for such a prefix makes bash-completion load the completion.
if [ $have_completion = 1 ]; then
  for program in vorel-pick vorel-census; do
    line=$(grep '^export XDG_DATA_DIRS=' "$mandir/$program.1" | sed 's/\\-/-/g')
    [ -n "$line" ] || fail "$program.1 gives no line that sets XDG_DATA_DIRS"
    function=_${program//-/_}
    # (Unless this machine has the program's completion installed where bash-completion looks.)
    if ! ls {/usr,/usr/local}/share/bash-completion/completions/"$program" >/dev/null 2>&1; then
      [[ $(completion_in "$work" "" "$program") != *"-F $function $program" ]] ||
        fail "bash-completion loads the completion of $program from $prefix without being told"
    fi
    loaded=$(completion_in "$work" "${line//PREFIX/$prefix}" "$program")
    [[ $loaded == *"-F $function $program" ]] ||
      fail "with '$line' from $program.1, bash-completion does not load the completion: '$loaded'"
  done
fi

# fish loads it from the data folder too, for a command on the PATH. zsh looks in /usr's
# share/zsh/vendor-completions, which is where a prefix of /usr puts it, and registers it from
# there; another prefix's folder is added to its fpath.
if command -v fish >/dev/null; then
  loaded=$(PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$prefix/none" XDG_DATA_HOME="$prefix/share" \
    fish -c 'complete --do-complete "vorel-census --no-p"' 2>&1)
  [[ $loaded == "--no-progress"* ]] ||
    fail "fish does not load the installed completion of vorel-census: '$loaded'"
else
  echo "fish is not installed (scripts/install-deps.sh installs it): its check is left out"
fi
if command -v zsh >/dev/null; then
  zsh -fc 'print -l $fpath' | grep -qx /usr/share/zsh/vendor-completions ||
    fail "zsh does not look in /usr/share/zsh/vendor-completions"
  loaded=$(zsh -fc 'fpath=("$1/share/zsh/vendor-completions" $fpath); autoload -U compinit
    compinit -u -D; print -r -- $_comps[vorel-census]' zsh "$prefix" 2>&1)
  [ "$loaded" = _vorel-census ] ||
    fail "zsh does not register the installed completion of vorel-census: '$loaded'"
else
  echo "zsh is not installed (scripts/install-deps.sh installs it): its check is left out"
fi

# ~/.local, where a program and an empty folder were before.
home=$work/home
mkdir -p "$home/.local/bin" "$home/.local/share/man"
printf '#!/bin/sh\n' >"$home/.local/bin/another-program"
before=$(tree "$home")
install_into "$home/.local"
if command -v man >/dev/null; then
  for program in vorel-pick vorel-census; do
    found=$(env -i HOME="$home" PATH="$home/.local/bin:$PATH" man -w "$program" 2>&1)
    [ "$found" = "$home/.local/share/man/man1/$program.1.gz" ] ||
      fail "with ~/.local/bin on the PATH, man -w $program gives '$found'"
  done
  shown=$(env -i HOME="$home" PATH="$home/.local/bin:$PATH" MANWIDTH=80 man vorel-census 2>&1 |
    tr -s ' ')
  grep -q 'vorel-census - count the VOREL die' <<<"$shown" || fail "man vorel-census shows: $shown"
else
  echo "man is not installed (scripts/install-deps.sh installs it): its checks are left out"
fi
if [ $have_completion = 1 ]; then
  loaded=$(completion_in "$home" "" vorel-census)
  [[ $loaded == *"-F _vorel_census vorel-census" ]] ||
    fail "bash-completion does not load the completion from ~/.local: '$loaded'"
fi

log=$(cmake --build "$build" --target uninstall 2>&1) || fail "the uninstall fails: $log"
after=$(tree "$home")
[ "$after" = "$before" ] || fail "after the uninstall the home holds
$after
instead of what it held before
$before"

finish "cmake --install --strip: the programs stripped, their manual pages, completions, README," \
  "changelog, licence and copyright, and nothing else; the uninstall leaves the home as it was"
