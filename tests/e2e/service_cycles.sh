#!/bin/bash
# The service under Wine, started and stopped 20 times in a row on the demo
# system: odd cycles send the stop within the first second (before the start
# has finished, so the stop is deferred), even cycles after 4 seconds. Each
# stop must bring the service to STOPPED within 30 s, and no ZTRMService.exe
# process of this prefix may be left once it is stopped. The service is
# installed once before the cycles and removed after them. Then, on the
# installed running service, `-startonce` must give up within its bound
# without touching it; and on a demo whose vendor module answers slowly, a
# stop sent during a later run (caused by naming another resource manager
# and then this one again) must let the run complete, return, and leave the
# stop line out of the log the run held.
#
#   tests/e2e/service_cycles.sh MINGW_BUILD_DIR WORK_DIR
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 2 "MINGW_BUILD_DIR WORK_DIR" "$@"
build=$1
wh_init wine-cycles "$build" "$2"

staged="$WH_STATE/demo"
cp -r "$source_dir/examples/demo" "$staged"
"$source_dir/simmodule/install_into_image.sh" "$staged" "$build"

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
no_service_process() { [ -z "$(our_service_processes)" ]; }

if wh_case_begin cycles "$staged"; then
  wh_run "$WH_STATE/install" -install
  wh_check_status "-install"
  for cycle in $(seq 1 20); do
    WH_CASE="cycle $cycle"
    if ! wh_sc start ZTLRMService; then
      wh_fail "sc start failed (state now: $(wh_service_state)): $(wh_sc_answer)"
      continue
    fi
    if [ $((cycle % 2)) = 1 ]; then sleep 0.5; else sleep 4; fi
    # The process check below must be able to see the service at all.
    if no_service_process; then
      wh_fail "no ZTRMService.exe process of this prefix while the service runs"
    fi
    wh_sc stop ZTLRMService
    if ! wh_wait_until 30 wh_service_is STOPPED; then
      wh_fail "not STOPPED within 30 s of the stop (state: $(wh_service_state))"
    elif ! wh_wait_until 10 no_service_process; then
      wh_fail "ZTRMService.exe still running 10 s after STOPPED (pids $(our_service_processes | tr '\n' ' '))"
    else
      wh_pass "stopped $([ $((cycle % 2)) = 1 ] && echo 'during the start (deferred)' || echo 'after 4 s'), no process left"
    fi
  done

  WH_CASE="-startonce beside the running service"
  if wh_sc start ZTLRMService && wh_wait_until 20 wh_service_is RUNNING; then
    started=$(wh_ms)
    wh_run "$WH_STATE/startonce" -startonce
    took=$(($(wh_ms) - started))
    wh_check_console "-startonce" "$WH_STATE/startonce" "$source_dir/tests/expected/console/startonce_running.txt"
    if [ "$took" -le 45000 ]; then
      wh_pass "ended after $(wh_seconds "$took") (bound 30 s of waiting)"
    else
      wh_fail "took $(wh_seconds "$took"), beyond its 30 s bound"
    fi
    if wh_service_is RUNNING; then
      wh_pass "the service it found running is still running"
    else
      wh_fail "the service it found running is $(wh_service_state)"
    fi
    wh_sc stop ZTLRMService
    wh_wait_until 30 wh_service_is STOPPED || wh_fail "the service did not stop afterwards"
  else
    wh_fail "the service could not be started for the case"
  fi

  WH_CASE=cycles
  wh_run "$WH_STATE/remove" -remove
  wh_check_status "-remove"
fi
wh_case_end

# The demo with a vendor module whose first GetCount takes 5 s: every run
# lasts at least that long.
slow="$WH_STATE/demo_slow"
cp -r "$staged" "$slow"
perl -0777 -i -pe 's/(\nModel = ZT-8840\r?\n)/$1CountDelayMs = 5000\r\n/' \
  "$slow/drive_c/ZELTRO/SimModule/ztsimmod.ini"
windows=""
log_has() { grep -q "$1" "$windows/pxirms.log" 2>/dev/null; }
if wh_case_begin "stop during a later run" "$slow"; then
  windows=$WINEPREFIX/drive_c/windows
  wh_run "$WH_STATE/install" -install
  wh_sc start ZTLRMService
  if ! wh_wait_until 30 eval 'log_has "Query Finished" && [ -s "$windows/pxiesys.ini" ]'; then
    wh_fail "the first run did not finish within 30 s"
  else
    sleep 1
    wh_configure_manager "Another Manager"
    sleep 3
    wh_configure_manager "ZELTRO Technology"
    # The later run empties the log at its start and holds it 5 s.
    if ! wh_wait_until 10 eval '! log_has "Query Finished"'; then
      wh_fail "no later run began within 10 s of naming this system again"
    else
      sleep 1
      stop_sent=$(wh_ms)
      wh_sc stop ZTLRMService
      if wh_wait_until 30 wh_service_is STOPPED; then
        wh_pass "the stop returned: STOPPED $(wh_seconds $(($(wh_ms) - stop_sent))) after it was sent"
      else
        wh_fail "not STOPPED within 30 s of a stop sent during the run"
      fi
      if log_has "Query Finished" && grep -q 'Model = "ZT1085"' "$windows/pxiesys.ini"; then
        wh_pass "the run completed: its log and pxiesys.ini are whole"
      else
        wh_fail "the run did not complete"
      fi
      if log_has "SERVICE STOPED"; then
        wh_fail "the stop line is in the log the run held"
      else
        wh_pass "no stop line: the run held the log when the stop came"
      fi
    fi
  fi
  wh_run "$WH_STATE/remove" -remove
fi
wh_case_end
wh_finish
