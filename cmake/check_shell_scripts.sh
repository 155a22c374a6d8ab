#!/usr/bin/env bash
# The check scripts of the tests and the library they source, read by shellcheck, which must find
# nothing in any of them. Skipped where shellcheck is not installed.
# Usage: check_shell_scripts.sh SOURCE_DIR
set -uo pipefail
# shellcheck source=cmake/check_lib.sh
source "$(dirname "$0")/check_lib.sh"
need shellcheck
cd "$1" || exit 1
mapfile -t scripts < <(find cmake docs packaging shell tools -name 'check_*.sh' \
  -o -name '*_test.sh' -o -name help_options.sh | sort)
[ ${#scripts[@]} -ge 15 ] || fail "found only ${#scripts[@]} check scripts in $1"
found=$(shellcheck -x "${scripts[@]}" 2>&1) || fail "shellcheck finds:"$'\n'"$found"
finish "shellcheck: nothing found in the ${#scripts[@]} check scripts"
