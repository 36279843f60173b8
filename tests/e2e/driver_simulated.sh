#!/bin/bash
# The simulated resource driver under Wine: ztrmdrv.sys installed as a kernel
# driver service answers CreateFileA and DeviceIoControl from another Wine
# process (driver_probe.exe) exactly as the native simulation answers the same
# image (tests/expected/output/driver_probe.txt, which the native test
# DriverProbeTest compares too); an image without the driver's key leaves the
# device unopenable.
#
#   tests/e2e/driver_simulated.sh MINGW_BUILD_DIR WORK_DIR
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 MINGW_BUILD_DIR WORK_DIR" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine_harness.sh
. "$source_dir/tests/e2e/wine_harness.sh"

build=$1
work=$2
for f in ztrmdrv.sys driver_probe.exe; do
  if [ ! -f "$build/$f" ]; then
    echo "FAIL setup: $build/$f is missing (build the mingw preset first)"
    exit 1
  fi
done
wh_init wine-driver "$build" "$work"

probe() {
  local out=$1
  cp "$WH_BUILD/driver_probe.exe" "$WINEPREFIX/drive_c/ztrm_bin/"
  timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\driver_probe.exe' </dev/null 2>/dev/null |
    tr -d '\r' >"$out"
}

check_report() {
  local label=$1 out=$2 expected=$3
  if cmp -s "$expected" "$out"; then
    wh_pass "$label"
  else
    wh_fail "$label: the probe's report differs (expected < > Wine):"
    diff "$expected" "$out" | head -30 | sed 's/^/     /'
  fi
}

if wh_case_begin "driver answers" "$source_dir/tests/e2e/images/driver_probe"; then
  probe "$WH_STATE/probe.txt"
  check_report "the kernel driver answers as the native simulation" "$WH_STATE/probe.txt" \
    "$source_dir/tests/expected/output/driver_probe.txt"
fi
wh_case_end

if wh_case_begin "no driver" "$source_dir/tests/e2e/images/no_companion"; then
  probe "$WH_STATE/probe.txt"
  check_report "an image without the driver's key has no device" "$WH_STATE/probe.txt" \
    <(printf 'open: failed\n')
fi
wh_case_end

wh_finish
