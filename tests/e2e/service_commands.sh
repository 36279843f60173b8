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
other_manager() { wh_configure_manager "Another Vendor"; }

# Runs ZTRMService.exe ARG...; exit code 0, and the console output as
# tests/expected/console/FILE with MIN to MAX dots while stopping (DOTS "MIN MAX").
console() {
  local label=$1 file=$2 dots=$3
  shift 3
  wh_run "$out" "$@"
  wh_check_status "$label" && wh_check_console "$label" "$out" "$expected/$file" $dots
}

# The service must be gone: removing it again cannot open it.
check_service_gone() {
  wh_run "$out" -remove
  wh_check_bytes "$1: no service left behind" "$out" 'OpenService failed w/err 0x00000424\r\n'
}

# --- -install, then -install again
if wh_case_begin install_twice "$demo"; then
  console "-install" install.txt "" -install
  console "second -install" install_exists.txt "" -install
fi
wh_case_end

# --- /InStAlL: "/" and mixed case install all the same
if wh_case_begin install_mixed_case "$demo"; then
  console "/InStAlL" install.txt "" /InStAlL extra arguments
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
  console "-start" start.txt "" -start
  sleep 4
  console "-remove of a running service" remove_running.txt "0 4" -remove
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
  console "-start" start.txt "" -start
  console "-stop within 3 s of the start" stop_running.txt "1 5" -stop
  wh_run "$out" -stop
  wh_check_bytes "early -stop: nothing left running to stop" "$out" ''
  console "early -stop: removed without a stop" remove_stopped.txt "" -remove
fi
wh_case_end

# --- -stop of a service running for more than 3 seconds
if wh_case_begin stop_running "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start
  sleep 4
  console "-stop of a running service" stop_running.txt "0 4" -stop
  console "-stop: removed without a stop" remove_stopped.txt "" -remove
fi
wh_case_end

# --- -start and -stop of a service that is not installed
if wh_case_begin not_installed "$demo"; then
  console "-start, not installed" open_missing.txt "" -start
  console "-stop, not installed" open_missing.txt "" -stop
fi
wh_case_end

# --- -start of a running service: the start fails with 0x420
if wh_case_begin start_running "$demo"; then
  other_manager
  wh_run "$out" -install
  wh_run "$out" -start
  console "-start of a running service" start_running.txt "" -start
  wh_run "$out" -remove
fi
wh_case_end

# --- -startonce with this system configured: one run, then the stop line
if wh_case_begin startonce_configured "$demo"; then
  console "-startonce, configured" startonce_configured.txt "0 8" -startonce
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
  console "-startonce, other manager" startonce_other.txt "0 8" -startonce
  check_service_gone "-startonce, other manager"
fi
wh_case_end
wh_check_bytes "-startonce, other manager: the log holds the stop line only" \
  "$drive_c/windows/pxirms.log" 'SERVICE STOPED\r\r\n'
for f in pxisys.ini pxiesys.ini; do
  wh_check_bytes "-startonce, other manager: $f made empty by the probe" "$drive_c/windows/$f" ''
done

# --- started by hand without arguments: the usage text, then the dispatcher
# refuses (Wine 8.0 takes about 10 s to say so)
if wh_case_begin by_hand "$demo"; then
  console "no arguments" by_hand.txt ""
  wh_check_ztlog "no arguments"
fi
wh_case_end

wh_finish
