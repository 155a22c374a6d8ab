# The helpers every check script of the tests sources, each defined here once: fail and go on,
# skip, finish; a scratch folder; expect an exit status and one line on stderr; start a program
# in the background with job control, wait until it gets somewhere, stop it with a signal; and an
# old chart, to see it kept. A check script starts
#     set -uo pipefail
#     source "$(dirname "$0")/../../cmake/check_lib.sh"   # the path from the script's folder
# counts what fails with `fail` and ends with `finish "what passed"`.
# shellcheck shell=bash

export TZ=UTC # a zone the checks name, never the machine's own; a check of another zone sets it
failures=0
check_name=""  # put before each failure, when set: "FAIL: vorel-pick completion: ..."

# Names what failed and counts it; the check goes on, so that one run shows every failure.
fail() {
  echo "FAIL: ${check_name:+$check_name: }$*"
  failures=$((failures + 1))
}

# Ends the check as skipped, saying why: CTest reads exit code 77 as a skip (SKIP_RETURN_CODE).
skip() {
  echo "skipped: $*"
  exit 77
}

# Skips the check unless every tool named is installed.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      skip "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

# Ends the check: exit 1 after any failure, else one line saying what passed.
finish() {
  [ "$failures" -eq 0 ] || exit 1
  echo "$*"
}

# A folder of the check's own in PARENT, in $scratch, removed with all it holds when the check
# ends, also where the check made parts of it read-only. A check that changes something outside
# it defines put_back, which the end runs first (while the scratch folder still holds what it
# saved there).
make_scratch() {
  scratch=$(realpath "$(mktemp -d "$1/check.XXXXXX")")
  trap 'leave_scratch' EXIT
}

# What the end of a check with a scratch folder runs: put_back, where the check defined it, then
# the folder's removal.
leave_scratch() {
  if declare -F put_back >/dev/null; then put_back; fi
  chmod -R u+w "$scratch" 2>/dev/null
  rm -rf "$scratch"
}

# A scratch folder in PARENT for a check of the census's chart: the chart's folder in $charts,
# where nothing else may appear, and a file in $err for what the census says on stderr.
make_chart_scratch() {
  make_scratch "$1"
  charts=$scratch/charts
  mkdir "$charts"
  err=$scratch/err
}

# Expects exit status WANT where GOT came: "WHAT: exit GOT, not WANT (what it said)" otherwise.
expect_status() {
  local want=$1 got=$2 what=$3 said=${4:-}
  [ -z "$said" ] || said=" (said '$said')"
  [ "$got" -eq "$want" ] || fail "$what: exit $got, not $want$said"
}

# Expects FILE (a program's stderr) to hold one line that starts with the program's name PROGRAM
# and ": ", and then with BEGINNING if given.
expect_one_line() {
  local file=$1 program=$2 what=$3 beginning=${4:-}
  { [ "$(wc -l <"$file")" -eq 1 ] && [[ "$(cat "$file")" == "$program: $beginning"* ]]; } ||
    fail "$what: said '$(cat "$file")', not one line beginning '$program: $beginning'"
}

# Starts the command in the background with job control, so that it does not start with Ctrl-C
# and quit ignored, as a script's background jobs do; its process id goes to $pid.
start() {
  set -m
  "$@" &
  pid=$!
  set +m
}

# Waits until process $pid waits in the kernel where PATTERN says (the functions a blocked pipe
# write or FIFO open sleeps in: pipe_write, wait_for_partner), or with "counting" until it runs
# its worker threads. Fails after two minutes, so that a busy machine still gets there.
await() {
  local pattern=$1 what=$2
  for _ in $(seq 2400); do
    if [ "$pattern" = counting ]; then
      [ "$(find "/proc/$pid/task" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)" -ge 2 ] && return 0
    else
      grep -Eq "$pattern" "/proc/$pid/wchan" 2>/dev/null && return 0
    fi
    sleep 0.05
  done
  fail "$what: it never got there (wchan '$(cat "/proc/$pid/wchan" 2>/dev/null)')"
}

# The exit status the shell sees for a program ended by SIGNAL: 128 plus its number.
code_of() {
  echo $((128 + $(kill -l "$1")))
}

# Sends SIGNAL to process $pid and expects it to end by it; its stderr is in ERR_FILE, which must
# match SAID when given, and never tells of an interrupted system call.
stop_with() {
  local signal=$1 what=$2 err_file=$3 said=${4:-} rc
  kill -s "$signal" "$pid"
  { wait "$pid"; } 2>/dev/null
  rc=$?
  expect_status "$(code_of "$signal")" "$rc" "$what, SIG$signal" "$(cat "$err_file")"
  if [ -n "$said" ]; then
    grep -q "$said" "$err_file" || fail "$what, SIG$signal: said '$(cat "$err_file")'"
  fi
  ! grep -q 'Interrupted system call' "$err_file" || fail "$what, SIG$signal: $(cat "$err_file")"
}

# A FIFO at PATH whose pipe is full: this shell holds it open on descriptor 3 and never reads.
full_fifo() {
  rm -f "$1"
  mkfifo "$1"
  exec 3<>"$1"
  dd if=/dev/zero of=/proc/self/fd/3 bs=4096 count=1000 oflag=nonblock 2>/dev/null
}

# An old chart at FOLDER/c.svg, alone in its folder, to see it kept.
old_chart() {
  printf 'old chart\n' >"$1/c.svg"
}

# The names in FOLDER, hidden ones too, in order, on one line.
folder_holds() {
  find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | paste -sd ' '
}

# Expects the old chart in FOLDER unchanged, and nothing beside it.
chart_kept() {
  local folder=$1 what=$2
  [ "$(cat "$folder/c.svg" 2>/dev/null)" = "old chart" ] || fail "$what: the old chart was changed"
  [ "$(folder_holds "$folder")" = "c.svg" ] ||
    fail "$what: the chart's folder holds $(folder_holds "$folder")"
}

# Runs PROGRAM ARGS... with its standard output REDIRECT (">/dev/full", ">&-") and expects exit 1
# and the one line "PROGRAM_NAME: cannot write: REASON".
expect_unwritable() {
  local redirect=$1 reason=$2 program=$3 err rc
  shift 3
  err=$(eval "\"\$program\" \"\$@\" $redirect" 2>&1 >/dev/null)
  rc=$?
  expect_status 1 "$rc" "$* $redirect" "$err"
  [ "$err" = "$(basename "$program"): cannot write: $reason" ] || fail "$* $redirect: said '$err'"
}
