# What a program's --help says, read the way the manual and completion checks compare it: its
# options, one a line with the name of the value each takes ("--seed N", "--json"), the options
# each cannot be used with, its exit codes, and a digest of the text. --help is made from the
# program's table of options, so these follow the table. Sourced by check_manual.sh and
# check_completion.sh.
# shellcheck shell=bash

# The text the manual pages and completions are checked against: all of --help but the census's
# last line, which names the instruction sets of the processor it runs on.
help_text() {
  "$1" --help | sed '/^Instruction sets this processor runs/,$d'
}

# The first 16 hexadecimal digits of the text's SHA-256: what a page or completion records as
# the --help it was last brought in line with.
help_digest() {
  help_text "$1" | sha256sum | cut -c1-16
}

# The digest a manual page or completion file records on its "help-digest:" line.
recorded_digest() {
  sed -n 's/^.*help-digest: \([0-9a-f]*\)$/\1/p' "$1" | head -n 1
}

# Options written together, one a line: "--from TIME --to TIME" as "--from TIME" and "--to TIME",
# "-h, --help" as "-h" and "--help". A word after an option that is no option is its value's name.
split_options() {
  tr ',' ' ' | awk '{
    for (i = 1; i <= NF; i++) {
      if ($i !~ /^-/) continue
      option = $i
      if (i < NF && $(i + 1) !~ /^-/) option = option " " $(++i)
      print option
    }
  }'
}

# The options --help describes: each option line starts with two spaces and a dash, and its
# options stand before the first two spaces in a row ("  --seeds A:B      only the seeds ...").
options_in_help() {
  help_text "$1" | sed -n 's/^  \(-.*\)$/\1/p' | sed 's/  .*//' | split_options | sort -u
}

# Each option's entry of --help on one line: its first line ("  --seeds A:B   only ...") joined
# with the lines indented below it.
help_entries() {
  help_text "$1" | awk '
    /^  -/ { if (entry != "") print entry; entry = $0; next }
    /^    / && entry != "" { sub(/^ +/, " "); entry = entry $0; next }
    { if (entry != "") print entry; entry = "" }
    END { if (entry != "") print entry }'
}

# The options each option cannot be used with, as --help says after "; not with": one line per
# option that has any, the option first ("--verify --find --json --chart").
conflicts_in_help() {
  help_entries "$1" | sed -n 's/^  \(-., \)\{0,1\}\(--[a-z-]*\).*; not with \(.*\)$/\2 \3/p' |
    sed -e 's/,/ /g' -e 's/ or / /g' | tr -s ' '
}

# The exit codes --help lists after "Exit codes:", one a line ("0", "1", ..., "128+N").
exit_codes_in_help() {
  help_text "$1" | sed -n '/^Exit codes:/,/\.$/p' | tr '\n' ' ' |
    grep -oE '(:|;) [0-9]+(\+N)? ' | grep -oE '[0-9]+(\+N)?'
}

# Why a file's help-digest fails, and what to do: "FILE records help-digest X, but
# 'PROGRAM --help' now gives Y: bring FILE in line with --help, then set ...".
# Usage: digest_advice PROGRAM FILE RECORDED CURRENT
digest_advice() {
  echo "$2 records help-digest $3, but '$1 --help' now gives $4: bring $2 in line with --help," \
    "then set its help-digest line to $4"
}
