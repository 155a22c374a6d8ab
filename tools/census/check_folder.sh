#!/usr/bin/env bash
# vorel-census's chart when its folder is closed, or moved away, after the count, while the report
# waits in a full pipe: the temporary file cannot be made, which one line names, exit 1, and the
# old chart stays, alone in its folder. Why it cannot be made is cli_file_test's to show. As root
# the census could write into any folder, so there it runs as the unprivileged user "nobody".
# Usage: check_folder.sh CENSUS WORK_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/../../cmake/check_lib.sh"
census=$(realpath "$1")
make_chart_scratch "$2"

as_user=()
if [ "$(id -u)" = 0 ]; then
  command -v setpriv >/dev/null || skip "running as root without setpriv to run as another user"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  "${as_user[@]}" "$census" --version >/dev/null 2>&1 ||
    skip "the user 'nobody' cannot run $census from here"
  chmod 755 "$scratch"
  chown nobody:nogroup "$charts"
fi
for change in closed moved; do
  old_chart "$charts"
  [ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$charts/c.svg"
  full_fifo "$scratch/fifo"
  start "${as_user[@]}" "$census" --seeds 1:2 --chart "$charts/c.svg" >"$scratch/fifo" 2>"$err" 3>&-
  await pipe_write "the folder $change"
  if [ $change = closed ]; then
    chmod 555 "$charts"
  else
    mv "$charts" "$scratch/elsewhere"
  fi
  # A reader that drains the pipe, opened before the one that never reads goes.
  exec 4<"$scratch/fifo"
  cat <&4 >/dev/null 3>&- 4<&- &
  exec 3>&- 4<&-
  wait "$pid"
  rc=$?
  [ $change = moved ] && mv "$scratch/elsewhere" "$charts"
  expect_status 1 $rc "the folder $change" "$(cat "$err")"
  expect_one_line "$err" vorel-census "the folder $change" \
    "cannot write the chart to '$charts/c.svg': its temporary file cannot be made"
  chmod 755 "$charts"
  chart_kept "$charts" "the folder $change"
  rm "$scratch/fifo"
done

finish "vorel-census: a chart whose folder changed fails in one line and leaves the old one"
