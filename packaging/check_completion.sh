#!/usr/bin/env bash
# A program's completion for bash, zsh or fish, asked about command lines by that shell itself:
# it offers the long options --help lists, and no others; after each option none it cannot be
# used with (as --help says), after an option that takes a value no option, after one that takes
# none more of them, after -- nothing; a few command lines get just what they should; and its
# help-digest line matches --help, so a change to --help fails here until the completion is
# brought in line. --help is made from the program's table of options, so an option added there
# fails here until each shell's completion offers it.
# Usage: check_completion.sh bash|zsh|fish PROGRAM COMPLETION_FILE
set -uo pipefail
export TZ=UTC # a zone the check names, never the machine's own; a line below may name another
shell=$1 program=$2 completion=$3
name=$(basename "$program")
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
check_name="$name $shell completion"
# shellcheck source=packaging/help_options.sh
source "$(dirname "$0")/help_options.sh"

make_scratch "${TMPDIR:-/tmp}"
work=$scratch
mkdir "$work/bin"
ln -s "$(realpath "$program")" "$work/bin/$name"
PATH="$work/bin:$PATH"

# What the shell offers at the end of LINE, as it was asked: raw, one word a line.
case $shell in
  bash)
    [ -r /usr/share/bash-completion/bash_completion ] ||
      skip "bash-completion is not installed (scripts/install-deps.sh installs it)"
    # shellcheck source=/dev/null # the shell's own
    source /usr/share/bash-completion/bash_completion
    # shellcheck source=/dev/null # the file under test
    source "$completion"
    function=$(complete -p "$name" | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
    [ -n "$function" ] || {
      fail "$completion registers no completion for $name"
      finish
    }
    # The words split at spaces and at '=', which bash makes a word of its own ("--seed=5" is
    # --seed, =, 5).
    ask() {
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
      [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}"
    }
    ;;
  zsh)
    need zsh
    # One interactive zsh for every line, its fpath holding the file under test by the name zsh
    # looks for, asked through two FIFOs held open here (and so in every $(...) below). Each line
    # goes with the zone it is asked in, which that zsh takes before completing it.
    mkdir "$work/fpath"
    cp "$completion" "$work/fpath/_$name"
    mkfifo "$work/lines" "$work/offers"
    zsh -f "$(dirname "$0")/zsh_offers.zsh" "$work/fpath" <"$work/lines" >"$work/offers" &
    exec 3>"$work/lines" 4<"$work/offers"
    ask() {
      local word
      printf '%s\n' "$TZ" "$1" >&3
      while IFS= read -r word <&4; do
        [ "$word" = @@end@@ ] && return
        [[ $word == "buffer: "* ]] || echo "$word"
      done
      fail "zsh ended while asked about '$1'"
    }
    ;;
  fish)
    need fish
    mkdir "$work/home"
    # shellcheck disable=SC2016 # fish expands them
    ask() {
      HOME="$work/home" XDG_CONFIG_HOME="$work/home" XDG_DATA_HOME="$work/home" LINE=$1 \
        fish --no-config -c 'source $argv[1]; complete --do-complete -- "$LINE"' "$completion"
    }
    ;;
  *)
    echo "usage: check_completion.sh bash|zsh|fish PROGRAM COMPLETION_FILE"
    exit 2
    ;;
esac

# What is offered, one word a line, sorted, as a person reads it whichever shell asked: without
# fish's descriptions, without the "--at=" a value was typed after, and a path by its last name.
offered() {
  ask "$1" | sed -e 's/\t.*//' -e 's/^--[a-z-]*=//' -e 's|/$||' -e 's|.*/||' | sort -u
}

# Expects exactly the words given (none: nothing offered).
expect() {
  local line=$1 got wanted
  shift
  got=$(offered "$line")
  wanted=$([ $# -eq 0 ] || printf '%s\n' "$@" | sort -u)
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

# Where a time is asked for: now, and the current second on the local clock with its offset, to
# edit; where a span begins or ends, today's date too. Tokyo's clock is offered in Tokyo.
offers_times() {
  local line=$1 offset=$2 dates=$3 got
  got=$(offered "$line")
  grep -qx 'now' <<<"$got" || fail "'$line' does not offer now"
  grep -qx "[0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}T[0-9]\{2\}:[0-9]\{2\}:[0-9]\{2\}$offset" <<<"$got" ||
    fail "'$line' offers no second at $offset: [${got//$'\n'/ }]"
  [ "$(grep -cxE '[0-9]{4}-[0-9]{2}-[0-9]{2}' <<<"$got")" = "$dates" ] ||
    fail "'$line' offers [${got//$'\n'/ }], not $dates date"
  [ "$(wc -l <<<"$got")" = $((2 + dates)) ] || fail "'$line' offers [${got//$'\n'/ }]"
}

# The long options of --help, and nothing else, after "--" (bash, whose habit it is, on an empty
# word too); after each option that takes a value no option, after each that takes none more of
# them, and after each none it cannot be used with; after "--" nothing.
help_options=$(options_in_help "$program")
mapfile -t long < <(grep -- '^--' <<<"$help_options" | awk '{ print $1 }')
expect "$name --" "${long[@]}"
[ "$shell" != bash ] || expect "$name " "${long[@]}"
while read -r option value; do
  if [ -n "$value" ]; then
    got=$(offered "$name $option ")
    grep -q -- '^-' <<<"$got" && fail "after $option, which takes $value, offers options"
  else
    [ -n "$(offered "$name $option --")" ] || fail "after $option, which takes no value, offers no option"
  fi
done <<<"$help_options"
while read -r option others; do
  value=$(grep -- "^$option " <<<"$help_options" | awk '{ print $2 }')
  # shellcheck disable=SC2086 # one word per option
  expect_among "$name $option ${value:+x }--" -not "$option" $others
done < <(conflicts_in_help "$program")
expect "$name -- --"

# The lines each program's completion is made for, with the program on the PATH by its name.
case $name in
  vorel-pick)
    expect "$name --c" --candidates
    expect "$name --seed "
    expect "$name --seed="
    expect "$name --json="
    offers_times "$name --at " "+00:00" 0
    offers_times "$name --at=" "+00:00" 0
    TZ=Asia/Tokyo offers_times "$name --at " "+09:00" 0
    expect "$name --at n" now
    expect_among "$name --seed=5 --" -not --seed --at
    expect_among "$name -h --" -not --help
    expect_among "$name -h --" --json --version
    expect_among "$name -V --" -not --version
    ;;
  vorel-census)
    expect "$name --ta" --target
    expect "$name --threads "
    expect "$name --seeds="
    expect "$name --json="
    expect "$name --find "
    expect "$name --find="
    expect "$name --first "
    offers_times "$name --from " "+00:00" 1
    offers_times "$name --to=" "+00:00" 1
    TZ=Asia/Tokyo offers_times "$name --from " "+09:00" 1
    expect "$name --from=n" now
    expect_among "$name --seeds 0:9 --" --json --chart --verify --no-progress
    expect_among "$name --from=2027-01-01T00:00:00Z --" -not --seeds --from
    expect_among "$name --find 1,2,3,4,5,6,7 --" --first --from --seeds --json --target
    expect_among "$name --first=3 --" -not --first --chart --verify
    expect_among "$name --first=3 --" --find
    expect_among "$name --chart c.svg --" -not --find --first
    expect_among "$name --verify --" -not --first
    # The instruction sets are the program's own: a stand-in that runs only two gets only those.
    targets=$("$program" --help | sed -n '/^Instruction sets this processor runs, best first:$/{n;p;q}')
    # shellcheck disable=SC2086 # one word per instruction set
    expect "$name --target " ${targets//,/}
    printf '#!/bin/sh\nprintf "Instruction sets this processor runs, best first:\\n  SSSE3, SCALAR\\n"\n' \
      >"$work/vorel-census"
    chmod +x "$work/vorel-census"
    expect "$work/vorel-census --target " SSSE3 SCALAR
    expect "$work/vorel-census --target=S" SSSE3 SCALAR
    expect "$work/vorel-census --target=SC" SCALAR
    # File names after --chart.
    mkdir "$work/charts" "$work/charts/older"
    touch "$work/charts/a.svg" "$work/charts/b.txt"
    expect "$name --chart $work/charts/" a.svg b.txt older
    ;;
esac

# Last brought in line with today's --help.
digest=$(help_digest "$program")
recorded=$(recorded_digest "$completion")
[ "$recorded" = "$digest" ] || fail "$(digest_advice "$name" "$completion" "$recorded" "$digest")"

finish "$name $shell completion: in step with $name --help"
