#!/bin/bash
# The simulated resource driver under Wine: ztrmdrv.sys installed as a kernel
# driver service answers CreateFileA and DeviceIoControl from another Wine
# process (driver_probe.exe) exactly as the native simulation answers the same
# image (tests/expected/output/driver_probe.txt, which the native test
# DriverProbeTest compares too); an image without the driver's key leaves the
# device unopenable; and the running service writes ztbuslist.dat once per
# service start: a second run of the same start leaves it alone, the next
# start writes it again.
#
#   tests/e2e/driver_simulated.sh MINGW_BUILD_DIR WORK_DIR
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 2 "MINGW_BUILD_DIR WORK_DIR" "$@"
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

# Waits up to SECONDS for FILE (below the prefix's C:\windows) to exist and
# hold bytes, then a second more for the run to close its files.
wait_for_file() {
  local file=$WINEPREFIX/drive_c/windows/$1 seconds=$2 i
  for ((i = 0; i < seconds * 2; i++)); do
    if [ -s "$file" ]; then
      sleep 1
      return 0
    fi
    sleep 0.5
  done
  return 1
}

if wh_case_begin "root bus list once per start" "$source_dir/examples/demo"; then
  windows=$WINEPREFIX/drive_c/windows
  wh_run "$WH_STATE/console" -install
  wh_run "$WH_STATE/console" -start
  if wait_for_file pxiesys.ini 30 && [ -s "$windows/ztbuslist.dat" ]; then
    wh_pass "the first run of the service wrote ztbuslist.dat"
    rm -f "$windows/ztbuslist.dat" "$windows/pxiesys.ini"
    # Another manager named, then this system again: a second run.
    wh_configure_manager "Another Manager"
    sleep 3
    wh_configure_manager "ZELTRO Technology"
    if wait_for_file pxiesys.ini 20; then
      if [ -e "$windows/ztbuslist.dat" ]; then
        wh_fail "the second run of the same start wrote ztbuslist.dat"
      else
        wh_pass "the second run of the same start left ztbuslist.dat alone"
      fi
    else
      wh_fail "no second run within 20 s"
    fi
    wh_run "$WH_STATE/console" -stop
    wh_run "$WH_STATE/console" -start
    if wait_for_file ztbuslist.dat 30; then
      wh_pass "the next service start wrote ztbuslist.dat again"
    else
      wh_fail "the next service start wrote no ztbuslist.dat"
    fi
    wh_run "$WH_STATE/console" -stop
  else
    wh_fail "the service's first run wrote no pxiesys.ini and ztbuslist.dat within 30 s"
  fi
  wh_run "$WH_STATE/console" -remove
fi
wh_case_end

wh_finish
