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
wh_require "$1/ztrmdrv.sys" "$1/driver_probe.exe"
wh_init wine-driver "$1" "$2"

# The probe's report (LF line ends) in case CASE on IMAGE against EXPECTED.
check_probe() {
  if wh_case_begin "$1" "$2"; then
    cp "$WH_BUILD/driver_probe.exe" "$WINEPREFIX/drive_c/ztrm_bin/"
    wh_compare "the probe's report" <(timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\driver_probe.exe' </dev/null 2>/dev/null |
      tr -d '\r') "$3" "Wine < > expected"
  fi
  wh_case_end
}
check_probe "the kernel driver answers as the native simulation" "$source_dir/tests/e2e/images/driver_probe" \
  "$source_dir/tests/expected/output/driver_probe.txt"
printf 'open: failed\n' >"$WH_STATE/no_device.txt"
check_probe "an image without the driver's key has no device" "$source_dir/tests/e2e/images/no_companion" \
  "$WH_STATE/no_device.txt"

# Waits up to SECONDS for FILE (below the prefix's C:\windows) to exist and
# hold bytes, then a second more for the run to close its files.
wait_for_file() {
  wh_wait_until "$2" test -s "$WINEPREFIX/drive_c/windows/$1" && sleep 1
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
