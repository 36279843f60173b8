#!/bin/bash
# The console commands of ZTRMService.exe under Wine, each case from a known
# state in one warm prefix (wine_harness.sh), each console output compared
# byte for byte with tests/expected/console/ (CR LF line ends as Wine's
# console gives them; only the number of "Logging..." lines and of the dots
# while a service stops depend on timing, and their counts are checked).
#
#   tests/e2e/service_commands.sh MINGW_BUILD_DIR WORK_DIR
#
# MINGW_BUILD_DIR holds ZTRMService.exe and ztrm_wine_idle.exe (x86-64);
# the prefix lives in WORK_DIR. Exit code 1 when a case fails.
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 2 "MINGW_BUILD_DIR WORK_DIR" "$@"
expected="$source_dir/tests/expected/console"
demo="$source_dir/examples/demo"
wh_init wine-service-commands "$1" "$2"
out="$WH_STATE/out"
drive_c="$WINEPREFIX/drive_c"

# The demo image with another resource manager configured: the service runs,
# but no enumeration run takes place.
other_manager() {
  printf '[ResourceManager]\r\nName = "Another Vendor"\r\n' >"$drive_c/ProgramData/PXISA/configuration.ini"
}

# The service must be gone: removing it again cannot open it.
check_service_gone() {
  wh_run "$out" -remove
  if cmp -s <(printf 'OpenService failed w/err 0x00000424\r\n') "$out"; then
    wh_pass "$1: no service left behind"
  else
    wh_fail "$1: the service is still installed (-remove printed: $(od -An -c "$out" | tr -s ' ' | head -c 200))"
  fi
}

# --- -install, then -install again
if wh_case_begin install_twice "$demo"; then
  wh_run "$out" -install && wh_check_status "-install" &&
    wh_check_console "-install" "$out" "$expected/install.txt"
  wh_run "$out" -install && wh_check_status "second -install" &&
    wh_check_console "second -install" "$out" "$expected/install_exists.txt"
fi
wh_case_end

# --- /InStAlL: "/" and mixed case install all the same
if wh_case_begin install_mixed_case "$demo"; then
  wh_run "$out" /InStAlL extra arguments && wh_check_status "/InStAlL" &&
    wh_check_console "/InStAlL" "$out" "$expected/install.txt"
  wh_run "$out" -remove
  wh_check_bytes "/InStAlL: the service was there to remove" "$out" 'ZTLRMService is removed.\r\n'
fi
wh_case_end

# --- an option the table does not list prints nothing and does nothing
if wh_case_begin unknown_option "$demo"; then
  wh_run "$out" -bogus && wh_check_status "-bogus"
  wh_check_bytes "-bogus prints nothing" "$out" ''
  check_service_gone "-bogus"
fi
wh_case_end

# --- -stop on an installed service that is not running prints nothing
if wh_case_begin stop_stopped "$demo"; then
  wh_run "$out" -install
  wh_run "$out" -stop && wh_check_status "-stop"
  wh_check_bytes "-stop of a stopped service prints nothing" "$out" ''
fi
wh_case_end

# --- -remove of a service running for more than 3 seconds: the stop goes
# through at once (controls are enabled), the worker ends at its next poll
if wh_case_begin remove_running "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start && wh_check_console "-start" "$out" "$expected/start.txt"
  sleep 4
  wh_run "$out" -remove && wh_check_status "-remove" &&
    wh_check_console "-remove of a running service" "$out" "$expected/remove_running.txt" 0 4
  check_service_gone "-remove"
fi
wh_case_end
wh_check_bytes "-remove: the stop line is the log's only content (no run)" \
  "$drive_c/windows/pxirms.log" 'SERVICE STOPED\r\r\n'

# --- -start, then -stop within the first 3 seconds: the stop is kept for the
# end of the start (reported pending meanwhile), then carried out
if wh_case_begin start_stop_early "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start && wh_check_console "-start" "$out" "$expected/start.txt"
  wh_run "$out" -stop && wh_check_status "early -stop" &&
    wh_check_console "-stop within 3 s of the start" "$out" "$expected/stop_running.txt" 1 5
  wh_run "$out" -stop
  wh_check_bytes "early -stop: nothing left running to stop" "$out" ''
  wh_run "$out" -remove
  wh_check_console "early -stop: removed without a stop" "$out" "$expected/remove_stopped.txt"
fi
wh_case_end

# --- -stop of a service running for more than 3 seconds
if wh_case_begin stop_running "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start
  sleep 4
  wh_run "$out" -stop && wh_check_status "-stop" &&
    wh_check_console "-stop of a running service" "$out" "$expected/stop_running.txt" 0 4
  wh_run "$out" -remove
  wh_check_console "-stop: removed without a stop" "$out" "$expected/remove_stopped.txt"
fi
wh_case_end

# --- -start and -stop of a service that is not installed
if wh_case_begin not_installed "$demo"; then
  wh_run "$out" -start && wh_check_status "-start" &&
    wh_check_console "-start, not installed" "$out" "$expected/open_missing.txt"
  wh_run "$out" -stop && wh_check_status "-stop" &&
    wh_check_console "-stop, not installed" "$out" "$expected/open_missing.txt"
fi
wh_case_end

# --- -start of a running service: the start fails with 0x420
if wh_case_begin start_running "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start
  wh_run "$out" -start && wh_check_status "second -start" &&
    wh_check_console "-start of a running service" "$out" "$expected/start_running.txt"
  wh_run "$out" -remove
fi
wh_case_end

# --- -startonce with this system configured: one run, then the stop line
if wh_case_begin startonce_configured "$demo"; then
  wh_run "$out" -startonce && wh_check_status "-startonce" &&
    wh_check_console "-startonce, configured" "$out" "$expected/startonce_configured.txt" 0 8
  check_service_gone "-startonce, configured"
fi
wh_case_end
log="$drive_c/windows/pxirms.log"
if perl -0777 -ne '
    $runs = () = /SERVICE START\r\r\n/g;
    $stops = () = /SERVICE STOPED/g;
    exit !(/\AInitialization global parameter\.\r\r\nCreate Log File Success\.\r\r\n/ &&
           $runs == 1 && $stops == 1 && /\r\nSERVICE STOPED\r\r\n\z/)' "$log" 2>/dev/null; then
  wh_pass "-startonce, configured: the log holds one run, then the stop line"
else
  wh_fail "-startonce, configured: the log is not one run followed by the stop line:"
  od -An -c "$log" 2>/dev/null | tail -8 | sed 's/^/     /'
fi

# --- -startonce with another resource manager configured: no run; the
# service is stopped and removed after the first probe
if wh_case_begin startonce_other_manager "$demo"; then
  other_manager
  wh_run "$out" -startonce && wh_check_status "-startonce" &&
    wh_check_console "-startonce, other manager" "$out" "$expected/startonce_other.txt" 0 8
  check_service_gone "-startonce, other manager"
fi
wh_case_end
wh_check_bytes "-startonce, other manager: the log holds the stop line only" \
  "$drive_c/windows/pxirms.log" 'SERVICE STOPED\r\r\n'
wh_check_bytes "-startonce, other manager: pxisys.ini made empty by the probe" "$drive_c/windows/pxisys.ini" ''
wh_check_bytes "-startonce, other manager: pxiesys.ini made empty by the probe" "$drive_c/windows/pxiesys.ini" ''

# --- started by hand without arguments: the usage text, then the dispatcher
# refuses (Wine 8.0 takes about 10 s to say so)
if wh_case_begin by_hand "$demo"; then
  wh_run "$out" && wh_check_status "no arguments" &&
    wh_check_console "no arguments" "$out" "$expected/by_hand.txt"
  if [ -d "$drive_c/ZTLOG" ] || [ -d "$drive_c/ztlog" ]; then
    wh_pass "c:\\ZTLOG is made at every start"
  else
    wh_fail "c:\\ZTLOG was not made"
  fi
fi
wh_case_end

wh_finish
