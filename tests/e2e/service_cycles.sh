#!/bin/bash
# The service under Wine, started and stopped 20 times in a row on the demo
# system: odd cycles send the stop within the first second (before the start
# has finished, so the stop is deferred), even cycles after 4 seconds. Each
# stop must bring the service to STOPPED within 30 s, and no ZTRMService.exe
# process of this prefix may be left once it is stopped. The service is
# installed once before the cycles and removed after them.
#
#   tests/e2e/service_cycles.sh MINGW_BUILD_DIR WORK_DIR
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
wh_init wine-cycles "$build" "$work"

staged="$WH_STATE/demo"
cp -r "$source_dir/examples/demo" "$staged"
"$source_dir/simmodule/install_into_image.sh" "$staged" "$build"

# The state sc reports: RUNNING, STOP_PENDING, STOPPED, ... (empty when the
# query fails).
service_state() {
  timeout 30 wine sc query ZTLRMService </dev/null 2>/dev/null |
    perl -ne 'print $1 if /STATE\s*:\s*\d+\s+(\w+)/'
}

# Process ids of ZTRMService.exe running in this prefix (other engineers'
# prefixes on the machine are not looked at).
our_service_processes() {
  local pid
  for pid in $(pgrep -f 'ZTRMService\.exe' 2>/dev/null); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
    fi
  done
}

if wh_case_begin cycles "$staged"; then
  wh_run "$WH_STATE/install" -install
  wh_check_status "-install"
  for cycle in $(seq 1 20); do
    WH_CASE="cycle $cycle"
    if ! timeout 30 wine sc start ZTLRMService </dev/null >/dev/null 2>&1; then
      wh_fail "sc start failed"
      continue
    fi
    if [ $((cycle % 2)) = 1 ]; then sleep 0.5; else sleep 4; fi
    # The process check below must be able to see the service at all.
    if [ -z "$(our_service_processes)" ]; then
      wh_fail "no ZTRMService.exe process of this prefix while the service runs"
    fi
    timeout 30 wine sc stop ZTLRMService </dev/null >/dev/null 2>&1
    state=""
    for _ in $(seq 1 60); do
      state=$(service_state)
      [ "$state" = STOPPED ] && break
      sleep 0.5
    done
    if [ "$state" != STOPPED ]; then
      wh_fail "not STOPPED within 30 s of the stop (state: ${state:-unknown})"
      continue
    fi
    left=""
    for _ in $(seq 1 20); do
      left=$(our_service_processes)
      [ -z "$left" ] && break
      sleep 0.5
    done
    if [ -n "$left" ]; then
      wh_fail "ZTRMService.exe still running 10 s after STOPPED (pids $left)"
    else
      wh_pass "stopped $([ $((cycle % 2)) = 1 ] && echo 'during the start (deferred)' || echo 'after 4 s'), no process left"
    fi
  done
  WH_CASE=cycles
  wh_run "$WH_STATE/remove" -remove
  wh_check_status "-remove"
fi
wh_case_end
wh_finish
