#!/usr/bin/env bash
# vorel-census as a Unix tool, from the outside. Whatever ends a run (a signal during the count or
# while a write or a FIFO waits, a closed pipe, a full output, a folder closed or moved, a file size
# or memory limit), the chart that was there stays byte for byte and no stray file is left beside
# it; the exit code is the documented one. A chart that goes where the report goes is written after
# it, never over it. Values are shown on one line, notes agree with the report, and a dumb
# terminal gets no escape sequence.
# Usage: check_unix.sh CENSUS WORK_DIR signals|outputs|memory|folder|terminal SANITIZED(0|1)
set -uo pipefail
export TZ=UTC # a zone the check names, never the machine's own
census=$(realpath "$1") work=$2 part=$3 sanitized=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() {
  echo "skipped: $*"
  exit 77
}

dir=$(realpath "$(mktemp -d "$work/unix-check.XXXXXX")")
charts=$dir/charts # the chart's folder: nothing else may appear in it
mkdir "$charts"
trap 'exec 3>&- 4>&-; chmod -R u+w "$dir" 2>/dev/null; rm -rf "$dir"' EXIT
ulimit -c 0 # the signals whose default dumps core leave no core file in the build tree

# The signals that end a program by default, each with the exit code the shell then sees.
stop_signals="INT TERM HUP PIPE QUIT USR1 USR2 ALRM XFSZ"
code_of() { echo $((128 + $(kill -l "$1"))); }

old_chart() { printf 'old chart\n' >"$charts/c.svg"; }
# The old chart is there, unchanged, and alone.
chart_kept() {
  [ "$(cat "$charts/c.svg" 2>/dev/null)" = "old chart" ] || fail "$1: the old chart was changed"
  [ "$(ls -A "$charts")" = "c.svg" ] || fail "$1: the chart's folder holds $(ls -A "$charts" | tr '\n' ' ')"
}

# Starts the census in the background with job control, so that it does not start with Ctrl-C and
# quit ignored, as a script's background jobs do.
start() {
  set -m
  "$census" "$@" &
  pid=$!
  set +m
}

# Waits until the census's process waits in the kernel where the pattern says (the functions a
# blocked pipe write or FIFO open sleeps in), or has its worker threads running (pattern
# "counting"); fails after 20 s.
await() {
  local pattern=$1 what=$2
  for _ in $(seq 400); do
    if [ "$pattern" = counting ]; then
      [ "$(ls "/proc/$pid/task" 2>/dev/null | wc -l)" -ge 2 ] && return 0
    else
      grep -Eq "$pattern" "/proc/$pid/wchan" 2>/dev/null && return 0
    fi
    sleep 0.05
  done
  fail "$what: the census never got there (wchan '$(cat "/proc/$pid/wchan" 2>/dev/null)')"
}

# Ends the census with the signal and checks its exit code and what it said.
stop_with() {
  local signal=$1 what=$2 said=$3
  kill -s "$signal" "$pid"
  { wait "$pid"; } 2>/dev/null
  local rc=$?
  [ $rc -eq "$(code_of "$signal")" ] || fail "$what, SIG$signal: exit $rc ($(cat "$dir/err"))"
  if [ -n "$said" ]; then
    grep -q "$said" "$dir/err" || fail "$what, SIG$signal: said '$(cat "$dir/err")'"
  fi
  grep -q 'Interrupted system call' "$dir/err" && fail "$what, SIG$signal: $(cat "$dir/err")"
}

# A FIFO whose pipe is full: a reader holds it open on descriptor 3 and never reads.
full_fifo() {
  rm -f "$dir/fifo"
  mkfifo "$dir/fifo"
  exec 3<>"$dir/fifo"
  dd if=/dev/zero of=/proc/self/fd/3 bs=4096 count=1000 oflag=nonblock 2>/dev/null
}

# A write that cannot be done: exit 1 and one line with the reason.
unwritable() {
  local what=$1 reason=$2
  shift 2
  local err rc
  err=$(eval "\"\$census\" $* $what" 2>&1 >/dev/null)
  rc=$?
  [ $rc -eq 1 ] || fail "$* $what: exit $rc"
  [ "$err" = "vorel-census: cannot write: $reason" ] || fail "$* $what: said '$err'"
}

if [ "$part" = signals ]; then
  # During the count: it stops at its next chunk, says how far it got and ends by the signal.
  for signal in $stop_signals; do
    old_chart
    start --chart "$charts/c.svg" >"$dir/out" 2>"$dir/err"
    await counting "during the count"
    stop_with "$signal" "during the count" '^vorel-census: interrupted after '
    chart_kept "SIG$signal during the count"
  done
  # A search stops as the count does, at its next chunk, says so, prints nothing and ends by the
  # signal (the slowest walk, so that the signal comes during the search).
  for signal in INT TERM; do
    start --find 02,14,15,18,20,21,31 --target SCALAR >"$dir/out" 2>"$dir/err"
    await counting "during a search"
    stop_with "$signal" "during a search" '^vorel-census: interrupted before the search was done$'
    [ ! -s "$dir/out" ] || fail "SIG$signal during a search: printed '$(head -1 "$dir/out")'"
  done
  # While a write waits: the report into a full pipe, the chart into a full pipe, and the chart's
  # FIFO waiting for a reader. The signal ends the program there and then.
  for signal in $stop_signals; do
    old_chart
    full_fifo
    start --seeds 1:2 --chart "$charts/c.svg" >"$dir/fifo" 2>"$dir/err" 3>&-
    await pipe_write "the report into a full pipe"
    stop_with "$signal" "the report into a full pipe" ""
    chart_kept "SIG$signal while the report waited"
    start --seeds 1:2 --chart "$dir/fifo" >"$dir/out" 2>"$dir/err" 3>&-
    await pipe_write "the chart into a full pipe"
    stop_with "$signal" "the chart into a full pipe" ""
    exec 3>&-
    rm "$dir/fifo"
    mkfifo "$dir/fifo"
    start --seeds 1:2 --chart "$dir/fifo" >"$dir/out" 2>"$dir/err"
    await wait_for_partner "a FIFO without a reader"
    stop_with "$signal" "a FIFO without a reader" "waiting for a reader of the FIFO '$dir/fifo'"
  done
  rm -f "$dir/fifo"

  # Started to ignore hang-ups (as nohup does), the census keeps ignoring them.
  (
    trap '' HUP
    exec "$census" --chart "$charts/c.svg" >/dev/null 2>&1
  ) &
  pid=$!
  await counting "an ignored SIGHUP"
  kill -s HUP $pid
  sleep 0.5
  kill -0 $pid 2>/dev/null || fail "an ignored SIGHUP stopped the census"
  kill -s TERM $pid
  wait $pid

  # A closed pipe ends the census quietly by SIGPIPE, as it ends any Unix tool.
  old_chart
  { sleep 0.3 && exec "$census" --seeds 1:2 --chart "$charts/c.svg" 2>"$dir/err"; } | true
  rc=${PIPESTATUS[0]}
  [ "$rc" -eq 141 ] && [ ! -s "$dir/err" ] || fail "a closed pipe: exit $rc, said '$(cat "$dir/err")'"
  chart_kept "a closed pipe"
  "$census" --seeds 0:9 2>"$dir/err" | head -1 >/dev/null
  [ ! -s "$dir/err" ] || fail "| head complained: $(cat "$dir/err")"
  # The chart's FIFO whose reader goes away while the census waits to write into it.
  full_fifo
  start --seeds 1:2 --chart "$dir/fifo" >/dev/null 2>"$dir/err" 3>&-
  await pipe_write "a FIFO whose reader goes away"
  exec 3>&-
  wait $pid
  rc=$?
  [ $rc -eq 141 ] && [ ! -s "$dir/err" ] || fail "a FIFO left: exit $rc, '$(cat "$dir/err")'"
  rm "$dir/fifo"

  # A file size limit below the chart's size: the write is ended by SIGXFSZ, or refused where the
  # census was started to ignore it.
  old_chart
  { (ulimit -f 8 && exec "$census" --seeds 1:2 --chart "$charts/c.svg" >/dev/null 2>"$dir/err"); } \
    2>/dev/null
  rc=$?
  [ $rc -eq 153 ] || fail "ulimit -f 8: exit $rc ($(cat "$dir/err"))"
  chart_kept "ulimit -f 8"
  (ulimit -f 8 && trap '' XFSZ && exec "$census" --seeds 1:2 --chart "$charts/c.svg" \
    >/dev/null 2>"$dir/err")
  rc=$?
  [ $rc -eq 1 ] || fail "ulimit -f 8, SIGXFSZ ignored: exit $rc"
  [ "$(cat "$dir/err")" = "vorel-census: cannot write the chart to '$charts/c.svg': File too large" ] ||
    fail "ulimit -f 8, SIGXFSZ ignored: said '$(cat "$dir/err")'"
  chart_kept "ulimit -f 8, SIGXFSZ ignored"

  # A report that cannot be written leaves the chart that was there.
  "$census" --seeds 0:9 --chart "$charts/c.svg" >/dev/full 2>/dev/null
  rc=$?
  [ $rc -eq 1 ] || fail "a full output with a chart: exit $rc"
  chart_kept "a full output"
  for args in "--seeds 0:9" "--seeds 0:9 --json" "--find 2,14,15,18,20,21,31 --seeds 0:9" \
    "--find 2,14,15,18,20,21,31 --seeds 0:9 --json" "--help" "--version"; do
    unwritable ">/dev/full" "No space left on device" $args
    unwritable ">&-" "Bad file descriptor" $args
  done
  err=$("$census" --seeds $'5\n:7' 2>&1)
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "a newline in a value broke the line: $err"
  out=$("$census" --seeds 7:7)
  grep -q '^Most to least frequent: 7 numbers (tied) / 30 numbers (tied) = n/a$' <<<"$out" ||
    fail "one seed's ratio: $(grep 'Most to least' <<<"$out")"
  out=$("$census" --json --from 2027-01-01T00:00:00Z --to 2027-12-31T23:59:59Z --seeds 1:1 2>&1)
  grep -q 'cannot be used with' <<<"$out" || fail "--seeds with --from: $out"
  out=$("$census" --from 2106-02-07T06:28:10Z --to 2106-02-07T06:28:20Z)
  grep -q '^Seeds covered: 11 (the seconds from 2106-02-07T06:28:10Z to 2106-02-07T06:28:20Z' \
    <<<"$out" || fail "a span past 2106: $(head -1 <<<"$out")"
fi

if [ "$part" = outputs ]; then
  # The report, then the chart: the SVG is the last thing, whole, after the report's last line.
  report_then_chart() {
    local file=$1 what=$2
    grep -q '^Seeds covered: 2 ' "$file" || fail "$what: no report"
    [ "$(grep -c '^<svg ' "$file")" -eq 1 ] && [ "$(tail -1 "$file")" = "</svg>" ] ||
      fail "$what: no whole chart at the end"
    [ "$(grep -n '^Least frequent picks' "$file" | cut -d: -f1)" -lt "$(grep -n '^<svg ' "$file" | cut -d: -f1)" ] ||
      fail "$what: the chart is not after the report"
    grep -q '^Chart: ' "$file" && fail "$what: a 'Chart:' line in the output the chart went to"
  }
  cd "$charts" || exit 1
  printf 'old\n' >log
  "$census" --seeds 1:2 --chart /dev/stdout >>log 2>"$dir/err"
  rc=$?
  [ $rc -eq 0 ] && [ "$(head -1 log)" = old ] || fail ">> log: exit $rc, first line '$(head -1 log)'"
  report_then_chart log ">> log"
  "$census" --seeds 1:2 --chart log >log 2>"$dir/err"
  report_then_chart log "> log with the chart to the same file"
  [ "$(ls -A)" = log ] || fail "/dev/stdout: the folder holds $(ls -A | tr '\n' ' ')"
  rm log
  for target in /dev/stdout /proc/self/fd/1; do
    "$census" --seeds 1:2 --chart $target 2>"$dir/err" | cat >"$dir/out"
    rc=$?
    [ $rc -eq 0 ] && [ ! -s "$dir/err" ] || fail "$target | cat: exit $rc ($(cat "$dir/err"))"
    report_then_chart "$dir/out" "$target | cat"
  done
  # Standard output on a device, and the chart to standard error.
  "$census" --seeds 1:2 --chart /dev/stdout >/dev/null 2>"$dir/err" ||
    fail ">/dev/null: exit $? ($(cat "$dir/err"))"
  "$census" --seeds 1:2 --chart /dev/stderr >"$dir/out" 2>"$dir/err"
  grep -q '^Chart: /dev/stderr$' "$dir/out" && [ "$(tail -1 "$dir/err")" = "</svg>" ] ||
    fail "/dev/stderr: $(tail -1 "$dir/out")"
  # Another descriptor of the census's own: written through, after what it holds.
  printf 'old\n' >f
  "$census" --seeds 1:2 --chart /proc/self/fd/3 3>>f >"$dir/out" 2>"$dir/err"
  rc=$?
  [ $rc -eq 0 ] && [ "$(head -1 f)" = old ] && [ "$(tail -1 f)" = "</svg>" ] ||
    fail "3>>f: exit $rc, '$(head -1 f)' … '$(tail -1 f)' ($(cat "$dir/err"))"
  grep -q '^Chart: /proc/self/fd/3$' "$dir/out" || fail "3>>f: $(tail -1 "$dir/out")"
  "$census" --seeds 1:2 --chart /proc/self/fd/3 3>f >/dev/null 2>"$dir/err"
  [ "$(head -c 5 f)" = "<svg " ] || fail "3>f: the file starts '$(head -c 20 f)'"
  [ "$(ls -A)" = f ] || fail "/proc/self/fd/3: the folder holds $(ls -A | tr '\n' ' ')"
  rm f
  cd "$dir" || exit 1

  # A FIFO without a reader: said once, then written when a reader comes.
  mkfifo "$dir/fifo"
  "$census" --seeds 1:2 --chart "$dir/fifo" >/dev/null 2>"$dir/err" &
  pid=$!
  await wait_for_partner "a FIFO without a reader"
  cat "$dir/fifo" >"$dir/out"
  wait $pid || fail "a FIFO whose reader came late: exit $?"
  [ "$(cat "$dir/err")" = "vorel-census: waiting for a reader of the FIFO '$dir/fifo' to write the chart" ] ||
    fail "a FIFO without a reader: said '$(cat "$dir/err")'"
  [ "$(tail -1 "$dir/out")" = "</svg>" ] || fail "a FIFO without a reader: no chart"
  rm "$dir/fifo"

  # A file in a folder that takes no file: root may write the file, not make one beside it.
  "$census" --seeds 1:2 --chart /proc/version >/dev/null 2>"$dir/err"
  rc=$?
  if [ "$(id -u)" = 0 ]; then
    [ $rc -eq 1 ] && grep -q "^vorel-census: cannot write the chart to '/proc/version': its temporary file cannot be made in '/proc/': " "$dir/err" ||
      fail "/proc/version: exit $rc, said '$(cat "$dir/err")'"
  else
    [ $rc -eq 2 ] && [ "$(cat "$dir/err")" = "vorel-census: cannot write the chart to '/proc/version': Permission denied" ] ||
      fail "/proc/version: exit $rc, said '$(cat "$dir/err")'"
  fi

  # More threads than cores: cut to the cores this process may run on, said so, and the report
  # names no more threads than the note allows.
  cores=$(nproc)
  "$census" --seeds 0:199999 --threads 1025 --json >"$dir/out" 2>"$dir/err"
  grep -q "^vorel-census: 1,025 threads asked for, but this process may run on $cores core" "$dir/err" ||
    fail "--threads 1025: said '$(cat "$dir/err")'"
  ran=$(sed -n 's/^ *"threads": \([0-9]*\),$/\1/p' "$dir/out")
  [ -n "$ran" ] && [ "$ran" -ge 1 ] && [ "$ran" -le "$cores" ] || fail "--threads 1025: the report names '$ran' threads"
  "$census" --seeds 0:9 --threads $((cores + 1)) >"$dir/out" 2>"$dir/err"
  grep -q "at most $cores thread" "$dir/err" && grep -q '^Time: .* on 1 thread$' "$dir/out" ||
    fail "ten seeds on $((cores + 1)) threads: '$(cat "$dir/err")' and '$(grep '^Time' "$dir/out")'"
  if taskset -c 0 true 2>/dev/null; then
    err=$(taskset -c 0 "$census" --seeds 0:9 --threads 2 2>&1 >/dev/null)
    [ "$err" = "vorel-census: 2 threads asked for, but this process may run on 1 core: at most 1 thread counts" ] ||
      fail "pinned to one core: said '$err'"
  fi
fi

if [ "$part" = memory ]; then
  if [ "$sanitized" = 1 ]; then
    skip "the sanitizers reserve more address space than any memory limit allows"
  fi
  # 320 MB of address space: more than two workers need, far less than 1024 would.
  out=$(ulimit -v 320000 && "$census" --threads 1024 --json 2>"$dir/err")
  rc=$?
  [ $rc -eq 0 ] || fail "--threads 1024 under a memory limit: exit $rc ($(cat "$dir/err"))"
  grep -q "1,024 threads asked for, but this process may run on" "$dir/err" ||
    fail "no note on the threads: $(cat "$dir/err")"
  cores=$(nproc)
  grep -q "\"threads\": $cores," <<<"$out" || fail "the report does not name $cores threads"
  # Too little memory for one worker, for a thread's stack, or for a second worker: one line,
  # exit 1, and the old chart alone in its folder.
  for limit in 60000 100000 128000 136000 160000; do
    old_chart
    (ulimit -v $limit && exec "$census" --seeds 0:199999 --chart "$charts/c.svg" --threads 2 \
      >/dev/null 2>"$dir/err")
    rc=$?
    [ $rc -eq 0 ] && continue # enough here after all
    [ $rc -eq 1 ] && [ "$(wc -l <"$dir/err")" -eq 1 ] &&
      grep -Eq '^vorel-census: (out of memory|cannot start a worker thread)' "$dir/err" ||
      fail "ulimit -v $limit: exit $rc, said '$(cat "$dir/err")'"
    chart_kept "ulimit -v $limit"
  done
  (ulimit -v 100000 && exec "$census" --seeds 0:199999 --threads 2 --chart "$charts/c.svg" \
    >/dev/null 2>"$dir/err")
  grep -q '^vorel-census: out of memory' "$dir/err" || fail "ulimit -v 100000: said '$(cat "$dir/err")'"
fi

if [ "$part" = folder ]; then
  # As root the census could write into any folder: it runs as the unprivileged user "nobody".
  as_user=()
  if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || skip "running as root without setpriv to run as another user"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "${as_user[@]}" "$census" --version >/dev/null 2>&1 ||
      skip "the user 'nobody' cannot run $census from here"
    chmod 755 "$dir"
    chown nobody:nogroup "$charts"
  fi
  # The folder closed, then moved away, after the count, while the report waits in a full pipe.
  for change in closed moved; do
    old_chart
    [ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$charts/c.svg"
    full_fifo
    set -m
    "${as_user[@]}" "$census" --seeds 1:2 --chart "$charts/c.svg" >"$dir/fifo" 2>"$dir/err" 3>&- &
    pid=$!
    set +m
    await pipe_write "the folder $change"
    if [ $change = closed ]; then
      chmod 555 "$charts"
      expected="its temporary file cannot be made in '$charts/': Permission denied"
    else
      mv "$charts" "$dir/elsewhere"
      expected="its temporary file cannot be made in '$charts/': No such file or directory"
    fi
    # A reader that drains the pipe, opened before the one that never reads goes.
    exec 4<"$dir/fifo"
    cat <&4 >/dev/null 3>&- 4<&- &
    exec 3>&- 4<&-
    wait $pid
    rc=$?
    [ $change = moved ] && mv "$dir/elsewhere" "$charts"
    [ $rc -eq 1 ] || fail "the folder $change: exit $rc"
    [ "$(cat "$dir/err")" = "vorel-census: cannot write the chart to '$charts/c.svg': $expected" ] ||
      fail "the folder $change: said '$(cat "$dir/err")'"
    chmod 755 "$charts"
    chart_kept "the folder $change"
    rm "$dir/fifo"
  done
fi

if [ "$part" = terminal ]; then
  script -qec true /dev/null >/dev/null 2>&1 || skip "no terminal to be had here (script(1) failed)"
  # The progress line, and the chart to /dev/stdout, on a terminal: TERM names the escapes it
  # understands, and a dumb terminal, or none named, gets spaces instead.
  on_terminal() { script -qec "$1" /dev/null </dev/null; }
  escape=$'\e'
  out=$(on_terminal "TERM=xterm '$census' --seeds 0:9 >/dev/null")
  [[ "$out" == *"$escape[K"* ]] || fail "TERM=xterm: the progress line was not erased"
  for term in "TERM=dumb" "env -u TERM"; do
    out=$(on_terminal "$term '$census' --seeds 0:9 >/dev/null")
    [[ "$out" == *"M seeds/s"* ]] || fail "$term: no progress line"
    [[ "$out" == *"$escape"* ]] && fail "$term: escape sequences: $(cat -v <<<"$out" | head -3)"
  done
  # --no-progress keeps it off the terminal, for the census and the finder alike.
  for args in "--seeds 0:9" "--find 1,2,3,4,5,6,7 --seeds 0:9"; do
    out=$(on_terminal "TERM=xterm '$census' $args --no-progress >/dev/null")
    [ -z "$out" ] || fail "$args --no-progress: $(cat -v <<<"$out" | head -3)"
  done
  # A chart path that cannot be written is refused before any counting: no progress line, which
  # every count on a terminal shows, at its end if not before.
  out=$(on_terminal "'$census' --seeds 0:9 --chart '$dir/none/c.svg' >/dev/null")
  rc=$?
  [ $rc -eq 2 ] && [[ "$out" == *"cannot write the chart to '$dir/none/c.svg': No such file"* ]] &&
    [[ "$out" != *"M seeds/s"* ]] || fail "an unwritable chart path: exit $rc, $(cat -v <<<"$out")"
  out=$(on_terminal "'$census' --seeds 1:2 --chart /dev/stdout 2>/dev/null")
  [[ "$out" == *"Seeds covered: 2 "*"</svg>"* ]] && [[ "$out" != *"Chart: "* ]] ||
    fail "the chart to a terminal: $(tail -2 <<<"$out")"
fi

[ $failures -eq 0 ] || exit 1
echo "vorel-census: every $part check passed"
