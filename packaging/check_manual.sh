#!/usr/bin/env bash
# A program's manual page held against the program: it renders without a warning and has the
# sections a reader looks for; it describes the options --help lists, each with the same value
# name, and no others, and every exit code --help lists; its JSON keys are those the program prints, and no others; every example
# that shows its output prints that output; it names the program's version; and its help-digest
# line matches --help, so a change to --help fails here until the page is brought in line.
# Usage: check_manual.sh PROGRAM PAGE JSON_ARGS...  (each JSON_ARGS one run's options, as a string)
set -uo pipefail
export TZ=UTC # a zone the check names, never the machine's own
program=$1 page=$2
shift 2
name=$(basename "$page" .1)
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../cmake/check_lib.sh"
check_name="$name.1"
need groff man lexgrog jq
# shellcheck source=packaging/help_options.sh
source "$(dirname "$0")/help_options.sh"

# The text of a section's lines, from its .SH to the next.
section() {
  awk -v title=".SH $1" '/^\.SH / { inside = ($0 == title); next } inside' "$page"
}

# Roff's escapes as the reader sees them: \- is -, \(aq is ', \(dq is ", \e is \, \& is nothing.
unescape() {
  sed -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\(dq/"/g' -e 's/\\&//g' -e 's/\\e/\\/g'
}

# The tags of a section's tagged paragraphs (.TP and .TQ), without their font macro and quotes.
tags() {
  section "$1" | awk 'tag { print; tag = 0 } /^\.T[PQ]$/ { tag = 1 }' |
    sed -e 's/^\.[A-Z]* *//' -e 's/"//g' | unescape | tr -s ' '
}

# Two lists compared both ways: what only the first or only the second holds.
differ() {
  comm -3 <(printf '%s\n' "$1" | sort -u) <(printf '%s\n' "$2" | sort -u) |
    sed -e 's/^\t/  only in '"$4"': /' -e '/^  only in/!s/^/  only in '"$3"': /'
}

# It renders: groff warns of nothing, man shows it, and its NAME line makes a whatis entry.
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warns: $warnings"
rendered=$(MANWIDTH=80 man -l "$page" 2>&1) || fail "man -l fails: $rendered"
grep -q "^NAME" <<<"$rendered" || fail "man -l shows no NAME section"
lexgrog "$page" >/dev/null || fail "lexgrog finds no whatis line in its NAME section"
for title in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" "JSON OUTPUT" EXAMPLES "SEE ALSO"; do
  grep -qx "\.SH $title" "$page" || fail "has no $title section"
done

# The version it names is the program's.
version=$("$program" --version | awk '{ print $2 }')
grep -q "^\.TH .* \"vorel $version\"" "$page" || fail ".TH does not name version $version"

# Its options, and the name of each one's value, are those of --help; SYNOPSIS names each.
help_options=$(options_in_help "$program")
page_options=$(tags OPTIONS | split_options)
if [ "$help_options" != "$(sort -u <<<"$page_options")" ]; then
  fail "OPTIONS does not describe the options of --help:
$(differ "$help_options" "$page_options" "--help" "the page")"
fi
synopsis=$(section SYNOPSIS | unescape | grep -oE -- '(^|[][ |])-{1,2}[a-zA-Z][a-z-]*' |
  sed 's/^[][ |]//' | sort -u)
while read -r option _; do
  grep -qx -- "$option" <<<"$synopsis" || fail "SYNOPSIS does not name $option"
done <<<"$help_options"
for option in $synopsis; do
  grep -q -- "^$option\( \|$\)" <<<"$help_options" || fail "SYNOPSIS names $option, which --help does not"
done

# Its EXIT STATUS names every exit code --help lists.
status_tags=$(tags "EXIT STATUS" | tr -d ' ')
while read -r code; do
  grep -qx -- "$code" <<<"$status_tags" || fail "EXIT STATUS does not name exit code $code, which --help lists"
done < <(exit_codes_in_help "$program")

# Its JSON keys are those the program prints: every key, nested ones as covered.words, but not
# the members of a list or of an object keyed by numbers (number_counts' "1" to "37").
printed_keys=""
for args in "$@"; do
  # shellcheck disable=SC2086 # each run's options are words
  json=$("$program" $args) || fail "'$name $args' fails"
  printed_keys+=$(jq -r 'paths | select(all(.[]; type == "string" and (test("^[0-9]+$") | not)))
                         | join(".")' <<<"$json")$'\n'
done
page_keys=$(tags "JSON OUTPUT")
if [ "$(sort -u <<<"${printed_keys%$'\n'}")" != "$(sort -u <<<"$page_keys")" ]; then
  fail "JSON OUTPUT does not list the keys the program prints:
$(differ "${printed_keys%$'\n'}" "$page_keys" "the output" "the page")"
fi

# Every example that shows its output prints it: each "$ " line is a command (continued on the
# next line after a trailing |), run in an empty folder with the program first on the PATH.
make_scratch "${TMPDIR:-/tmp}"
work=$scratch
mkdir "$work/bin" "$work/run"
ln -s "$(realpath "$program")" "$work/bin/$name"
run_example() {
  [ -n "$1" ] && [ -n "$2" ] || return 0
  local got
  got=$(cd "$work/run" && PATH="$work/bin:$PATH" bash -c "$1" 2>&1)
  [ "$got" = "$2" ] || fail "example '$1' printed:
$got
instead of:
$2"
}
command="" expected="" continued=0 examples=0
while IFS= read -r line; do
  if [ "$line" = ".EE" ]; then
    run_example "$command" "$expected"
    command="" expected="" continued=0
  elif [ $continued = 1 ]; then
    command+=" ${line#"${line%%[! ]*}"}"
    [[ $line == *"|" ]] || continued=0
  elif [[ $line == '$ '* ]]; then
    run_example "$command" "$expected"
    command=${line#\$ } expected="" examples=$((examples + 1))
    [[ $line == *"|" ]] && continued=1
  elif [ -n "$command" ]; then
    expected+=${expected:+$'\n'}$line
  fi
done < <(section EXAMPLES | sed -n '/^\.EX$/,/^\.EE$/p' | grep -vx '\.EX' | unescape)
[ $examples -gt 0 ] || fail "EXAMPLES holds no command"

# Last brought in line with today's --help.
digest=$(help_digest "$program")
recorded=$(recorded_digest "$page")
[ "$recorded" = "$digest" ] || fail "$(digest_advice "$name" "$page" "$recorded" "$digest")"

finish "$name.1: in step with $name --help and its JSON, every example as shown"
