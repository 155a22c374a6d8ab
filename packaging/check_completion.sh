#!/usr/bin/env bash
# A program's bash completion, sourced as bash-completion loads it and asked about command lines
# as bash would ask: it offers the long options --help lists, and no others; after an option
# that takes a value it offers no option, after one that takes none it offers more; a few
# command lines get just what they should; and its help-digest line matches --help, so a change
# to --help fails here until the completion is brought in line.
# Usage: check_completion.sh PROGRAM COMPLETION_FILE
set -uo pipefail
program=$1 completion=$2
name=$(basename "$completion" .bash)
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
check_name="$name completion"
[ -r /usr/share/bash-completion/bash_completion ] ||
  skip "bash-completion is not installed (scripts/install-deps.sh installs it)"
# shellcheck source=packaging/help_options.sh
source "$(dirname "$0")/help_options.sh"
source /usr/share/bash-completion/bash_completion
# shellcheck source=/dev/null # the file under test
source "$completion"
function=$(complete -p "$name" | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || {
  fail "$completion registers no completion for $name"
  finish
}

# What the completion offers at the end of LINE, one word a line, as bash asks it: the words
# split at spaces and at '=', which bash makes a word of its own ("--seed=5" is --seed, =, 5).
offered() {
  local line=$1 word part
  local -a words=()
  for word in $line; do
    while [[ $word == *=* ]]; do
      part=${word%%=*}
      [ -n "$part" ] && words+=("$part")
      words+=("=")
      word=${word#*=}
    done
    [ -n "$word" ] && words+=("$word")
  done
  [[ $line == *" " ]] && words+=("")
  COMP_LINE=$line COMP_POINT=${#line} COMP_WORDS=("${words[@]}") COMP_CWORD=$((${#words[@]} - 1))
  COMP_TYPE=9 COMP_KEY=9
  COMPREPLY=()
  "$function" "${words[0]}" "${words[-1]}" "${words[-2]:-}"
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort
}

# Expects exactly the words given (none: nothing offered).
expect() {
  local line=$1 got wanted
  shift
  got=$(offered "$line")
  wanted=$([ $# -eq 0 ] || printf '%s\n' "$@" | sort)
  [ "$got" = "$wanted" ] || fail "'$line' offers [${got//$'\n'/ }], not [${wanted//$'\n'/ }]"
}

# Expects the words given among those offered, or with -not, none of them.
expect_among() {
  local line=$1 not=0 got word
  shift
  [ "$1" = -not ] && not=1 && shift
  got=$(offered "$line")
  for word in "$@"; do
    if grep -qx -- "$word" <<<"$got"; then
      [ $not = 0 ] || fail "'$line' offers $word"
    else
      [ $not = 1 ] || fail "'$line' does not offer $word (offers [${got//$'\n'/ }])"
    fi
  done
}

make_scratch "${TMPDIR:-/tmp}"
work=$scratch
mkdir "$work/bin"
ln -s "$(realpath "$program")" "$work/bin/$name"
PATH="$work/bin:$PATH"

# The long options of --help, and nothing else, on an empty line; after each option that takes
# a value no option, after each that takes none more of them.
help_options=$(options_in_help "$program")
mapfile -t long < <(grep -- '^--' <<<"$help_options" | awk '{ print $1 }')
expect "$name " "${long[@]}"
expect "$name --" "${long[@]}"
while read -r option value; do
  if [ -n "$value" ]; then
    got=$(offered "$name $option ")
    grep -q -- '^-' <<<"$got" && fail "after $option, which takes $value, offers options"
  else
    [ -n "$(offered "$name $option --")" ] || fail "after $option, which takes no value, offers no option"
  fi
done <<<"$help_options"

# The lines each program's completion is made for, with the program on the PATH by its name.
# Where a UTC second is asked for: now, and the current second to edit.
offers_times() {
  local got
  got=$(offered "$1")
  grep -qx 'now' <<<"$got" || fail "'$1' does not offer now"
  grep -qxE '[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z' <<<"$got" ||
    fail "'$1' offers no UTC second"
  [ "$(wc -l <<<"$got")" = 2 ] || fail "'$1' offers [${got//$'\n'/ }], not just now and a second"
}
case $name in
  vorel-pick)
    expect "$name --c" --candidates
    expect "$name --seed "
    expect "$name --seed="
    expect "$name --json="
    offers_times "$name --at "
    offers_times "$name --at="
    expect "$name --at n" now
    expect_among "$name --seed=5 --" -not --seed --at
    expect_among "$name --at 2026-12-07T04:05:06Z --" -not --seed --at
    expect_among "$name -h --" -not --help
    expect_among "$name -h --" --json --version
    ;;
  vorel-census)
    expect "$name --threads "
    expect "$name --seeds="
    expect "$name --json="
    expect "$name --find "
    expect "$name --find="
    expect "$name --first "
    offers_times "$name --from "
    offers_times "$name --to="
    expect "$name --from=n" now
    expect_among "$name --seeds 0:9 --" -not --seeds --from --to
    expect_among "$name --seeds 0:9 --" --json --chart --verify
    expect_among "$name --from=2027-01-01T00:00:00Z --" -not --seeds --from
    expect_among "$name --verify --" -not --verify --json --chart
    expect_among "$name --json --" -not --json --verify
    expect_among "$name --find 1,2,3,4,5,6,7 --" -not --find --chart --verify
    expect_among "$name --find 1,2,3,4,5,6,7 --" --first --from --seeds --json --target
    expect_among "$name --first=3 --" -not --first --chart --verify
    expect_among "$name --first=3 --" --find
    expect_among "$name --chart c.svg --" -not --find --first
    expect_among "$name --verify --" -not --find --first
    # The instruction sets are the program's own: a stand-in that runs only two gets only those.
    targets=$("$program" --help | sed -n 's/^Instruction sets this processor runs, best first: //p')
    # shellcheck disable=SC2086 # one word per instruction set
    expect "$name --target " ${targets//,/}
    printf '#!/bin/sh\necho "Instruction sets this processor runs, best first: SSSE3, SCALAR"\n' \
      >"$work/vorel-census"
    chmod +x "$work/vorel-census"
    expect "$work/vorel-census --target " SSSE3 SCALAR
    expect "$work/vorel-census --target=S" SSSE3 SCALAR
    expect "$work/vorel-census --target=SC" SCALAR
    # File names after --chart.
    mkdir "$work/charts" "$work/charts/older"
    touch "$work/charts/a.svg" "$work/charts/b.txt"
    cd "$work/charts" || exit 1
    expect "$name --chart " a.svg b.txt older
    cd - >/dev/null || exit 1
    ;;
esac

# Last brought in line with today's --help.
digest=$(help_digest "$program")
recorded=$(recorded_digest "$completion")
[ "$recorded" = "$digest" ] || fail "$(digest_advice "$name" "$completion" "$recorded" "$digest")"

finish "$name completion: in step with $name --help"
