#!/usr/bin/env bash
# demo.sh with a Wine that cannot start (the error a machine with the 32-bit
# wine32 package installed gives): Wine's own text and the hint are shown,
# the exit status is not 0, and nothing was built first.
set -uo pipefail
source_dir=$1
work=$2
rm -rf "$work"
mkdir -p "$work/bin"
cat >"$work/bin/wine" <<'FAKE'
#!/bin/sh
echo "exec: /usr/lib/wine/wine: Exec format error" >&2
exit 126
FAKE
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
out=$(PATH="$work/bin:$PATH" bash "$source_dir/demo.sh" 2>&1)
status=$?
fail=0
check() { grep -qF -- "$1" <<<"$out" || { echo "FAIL: no \"$1\" in demo.sh's output"; fail=1; }; }
[ "$status" -ne 0 ] || { echo "FAIL: demo.sh ended with 0"; fail=1; }
check "Wine could not make its prefix (exit 126). Wine said:"
check "exec: /usr/lib/wine/wine: Exec format error"
check "Hint: \"Exec format error\" means the 32-bit wine32 package is installed"
if grep -q "Building" <<<"$out"; then echo "FAIL: demo.sh built before Wine had started"; fail=1; fi
[ "$fail" -eq 0 ] && echo "PASS: demo.sh shows Wine's error and the hint, exit $status"
echo "--- demo.sh said:"
echo "$out"
exit "$fail"
