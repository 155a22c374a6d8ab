#!/usr/bin/env bash
# docs/architecture.md held against the code: every path it cites must exist in the tree, and
# every function, type or other code name it cites must occur in a source file under draw/,
# shell/, tools/, cmake/, packaging/ or bench/. A file moved or a function renamed fails here
# until the map follows it.
#
# What is read: every `...` span of the page that lies within one line.
#  - A span with a blank in it (a command, a line of output) or that starts with '-' (an option
#    such as `--find`) is skipped.
#  - A path is a span that holds '/' or ends in .cpp, .h, .cmake, .sh or .md. It is taken from
#    the tree's root (`tools/census/census.cpp`, `docs/testing.md`, `tools/census/walk/`); one
#    with '*' must match at least one file (`tools/census/count/*_test.cpp`).
#  - A name is a span that is one C++ name, perhaps qualified with '::' and perhaps followed by
#    "()" (`RunCensus`, `CountChunk()`, `PickCounter::Apply`), and that ends in "()", holds '::'
#    or '_', or mixes capitals and small letters. Each part of a qualified name must occur as a
#    whole word.
#  - Anything else is skipped: a plain word of one case (`seed`, `AVX2`), a number, a pick.
# Usage: check_architecture.sh [ROOT [PAGE]]
#   ROOT: the tree whose files and sources are searched (default: the tree this script is in),
#         so that the page can be held against another branch's tree as well;
#   PAGE: the page read (default: architecture.md beside this script).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=cmake/check_lib.sh
source "$here/../cmake/check_lib.sh"

root=${1:-$here/..}
page=${2:-$here/architecture.md}
[ -d "$root" ] || { echo "FAIL: no tree at $root"; exit 1; }
[ -r "$page" ] || { echo "FAIL: cannot read $page"; exit 1; }
root=$(cd "$root" && pwd)
check_name=$(basename "$page")
source_dirs=(draw shell tools cmake packaging bench)

# Every word of every source file, once: what a name is looked up in.
words=$(mktemp)
trap 'rm -f "$words"' EXIT
(cd "$root" && grep -rhoIE '[A-Za-z_][A-Za-z0-9_]*' -- "${source_dirs[@]}" 2>/dev/null) |
  sort -u >"$words"

# The spans of the page, one a line, as "LINE<tab>SPAN".
spans() {
  awk '{
    line = $0
    while (match(line, /`[^`]+`/)) {
      print NR "\t" substr(line, RSTART + 1, RLENGTH - 2)
      line = substr(line, RSTART + RLENGTH)
    }
  }' "$page"
}

name_pattern='^[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*(\(\))?$'
paths=0 names=0
while IFS=$'\t' read -r line span; do
  case $span in
    *' '* | -*) continue ;;
  esac
  if [[ $span == */* || $span =~ \.(cpp|h|cmake|sh|md)$ ]]; then
    paths=$((paths + 1))
    if [[ $span == *'*'* ]]; then
      compgen -G "$root/$span" >/dev/null || fail "line $line: \`$span\` matches no file in $root"
    else
      [ -e "$root/$span" ] || fail "line $line: \`$span\` is no file or folder in $root"
    fi
  elif [[ $span =~ $name_pattern ]]; then
    if [[ $span == *'()' || $span == *::* || $span == *_* ||
      ($span =~ [A-Z] && $span =~ [a-z]) ]]; then
      names=$((names + 1))
      name=${span%'()'}
      for part in ${name//::/ }; do
        grep -qxF -- "$part" "$words" ||
          fail "line $line: \`$span\`: no source under ${source_dirs[*]/%//} in $root names $part"
      done
    fi
  fi
done < <(spans)

{ [ "$paths" -gt 0 ] && [ "$names" -gt 0 ]; } ||
  fail "found $paths paths and $names names in $page: is it the page?"
finish "$check_name: the $paths paths and $names names it cites are in $root"
