#!/usr/bin/env bash
# Runs the README's commands exactly as written: every indented block that
# follows a "<!-- README test ... -->" line, in README order, in one bash
# session in the source tree, stopping at the first command that fails.
#
#   tests/readme_commands.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2
script=$(awk '
  /^<!-- README test/ { take = 1; next }
  take && /^    / { print substr($0, 5); next }
  take && !/^[[:space:]]*$/ { take = 0 }
' README.md)
if [ -z "$script" ]; then
  echo "FAIL: no README test block found"
  exit 1
fi
count=$(printf '%s\n' "$script" | grep -c .)
printf '%s\n' "$script" | sed 's/^/+ /'
if bash -e -o pipefail -c "$script"; then
  echo "PASS: the README's $count commands"
else
  echo "FAIL: a README command failed (exit $?)"
  exit 1
fi
