#!/bin/bash
# ztrm-capture.exe under Wine, replayed natively.
#
# Case "demo": a prefix holding the whole demo system (its registry, drive_c,
# the simulated vendor module's DLL and the simulated resource driver
# started) is captured with `ztrm-capture.exe C:\capture`, then the service
# runs there once (`ZTRMService.exe -startonce`). The captured image, readied
# by ztrm-replay-setup and run by ztrm-sim, must give pxirms.log, pxisys.ini,
# pxiesys.ini and ztbuslist.dat byte-identical to the service's apart from the
# time stamp lines and the service's stop line; the host lines are compared
# too, since the capture keeps what WMI answered. A second capture into the
# same, now full, folder (named with a trailing backslash) must be refused
# and change nothing.
#
# Case "bad_libraries": the demo plus a vendor library whose GetCount crashes
# for one model and never returns for another, and a library that is not
# there. The capture must finish, name the first as failing and the second as
# not loadable, and the replay must give the demo's system files (the failing
# library replays as one that does not load).
#
#   tests/e2e/capture_replay.sh MINGW_BUILD_DIR NATIVE_BUILD_DIR WORK_DIR
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 3 "MINGW_BUILD_DIR NATIVE_BUILD_DIR WORK_DIR" "$@"
build=$1
native=$(cd "$2" && pwd)
wh_require "$native/ztrm-sim" "$native/ztrm-replay-setup" "$build/ztrm-capture.exe" "$build/ztrm_bad_vendor.dll"
wh_init wine-capture "$build" "$3"

capture() {
  WH_STATUS=0
  timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\ztrm-capture.exe' "$@" </dev/null \
    >"$WH_STATE/capture.out" 2>"$WH_STATE/capture.err" || WH_STATUS=$?
}

# The captured image out of the prefix, readied and replayed natively.
replay() {
  rm -rf "$1"
  cp -r "$WINEPREFIX/drive_c/capture" "$1" || { wh_fail "no captured image"; return 1; }
  "$native/ztrm-replay-setup" "$1" "$native/simmodule" || { wh_fail "ztrm-replay-setup failed"; return 1; }
  timeout 120 "$native/ztrm-sim" "$1" >/dev/null || { wh_fail "ztrm-sim failed on the captured image"; return 1; }
}

# The demo with the simulated vendor module's DLL and ztrm-capture.exe, in a
# fresh stage folder.
stage="$WH_STATE/stage"
stage_demo() {
  rm -rf "$stage"
  cp -r "$source_dir/examples/demo" "$stage"
  "$source_dir/simmodule/install_into_image.sh" "$stage" "$build"
  mkdir -p "$stage/drive_c/ztrm_bin"
  cp "$build/ztrm-capture.exe" "$stage/drive_c/ztrm_bin/"
}

stage_demo
if wh_case_begin demo "$stage"; then
  started=$(wh_ms)
  capture 'C:\capture'
  if [ "$WH_STATUS" = 0 ]; then
    wh_pass "capture written in $(wh_seconds $(($(wh_ms) - started)))"
  else
    wh_fail "ztrm-capture.exe ended with $WH_STATUS: $(cat "$WH_STATE/capture.err")"
  fi
  (cd "$WINEPREFIX/drive_c/capture" && find . -type f | sort) >"$WH_STATE/first.list"
  capture 'C:\capture\'
  if [ "$WH_STATUS" = 1 ] && tr -d '\r' <"$WH_STATE/capture.err" | grep -qx 'ztrm-capture: C:\\capture is not empty' &&
    (cd "$WINEPREFIX/drive_c/capture" && find . -type f | sort) | cmp -s - "$WH_STATE/first.list"; then
    wh_pass "a second capture into the full folder is refused and changes nothing"
  else
    wh_fail "second capture: exit $WH_STATUS, $(cat "$WH_STATE/capture.err")"
  fi
  wh_run "$WH_STATE/console" -startonce
fi
wh_case_end
wine_out="$WINEPREFIX/drive_c/windows"
if replay "$WH_STATE/replay_demo"; then
  out="$WH_STATE/replay_demo/drive_c/windows"
  wh_strip_stop_line "$wine_out/pxirms.log" "$WH_STATE/wine.log"
  if wh_mask_log "$WH_STATE/wine.log" >"$WH_STATE/wine.masked" && wh_mask_log "$out/pxirms.log" >"$WH_STATE/replay.masked"; then
    wh_compare pxirms.log "$WH_STATE/wine.masked" "$WH_STATE/replay.masked" "Wine < > replay"
  else
    wh_fail "pxirms.log: no time stamp line"
  fi
  for file in pxisys.ini pxiesys.ini; do
    wh_compare_masked "$file" "$wine_out/$file" "$out/$file" "Wine < > replay"
  done
  wh_compare ztbuslist.dat "$wine_out/ztbuslist.dat" "$out/ztbuslist.dat" "Wine < > replay"
fi

stage_demo
mkdir -p "$stage/drive_c/Bad"
cp "$build/ztrm_bad_vendor.dll" "$stage/drive_c/Bad/"
cat >>"$stage/registry.reg" <<'EOF'

[HKEY_LOCAL_MACHINE\SOFTWARE\PXISA\Services\Peripheral Modules\Bad\Crash]
"Library"="C:\\Bad\\ztrm_bad_vendor.dll"

[HKEY_LOCAL_MACHINE\SOFTWARE\PXISA\Services\Peripheral Modules\Bad\Hang]
"Library"="C:\\Bad\\ztrm_bad_vendor.dll"

[HKEY_LOCAL_MACHINE\SOFTWARE\PXISA\Services\Peripheral Modules\Bad\Missing]
"Library"="C:\\Bad\\missing.dll"
EOF
if wh_case_begin bad_libraries "$stage"; then
  started=$(wh_ms)
  capture 'C:\capture'
  took=$(($(wh_ms) - started))
  if [ "$WH_STATUS" = 0 ] && [ "$took" -ge 10000 ] && [ "$took" -lt 60000 ]; then
    wh_pass "capture written in $(wh_seconds "$took"), the hanging helper ended at the 10 s bound"
  elif [ "$WH_STATUS" = 0 ]; then
    wh_fail "capture took $(wh_seconds "$took"): the hanging helper was not ended at its bound"
  else
    wh_fail "ztrm-capture.exe ended with $WH_STATUS: $(cat "$WH_STATE/capture.err")"
  fi
fi
wh_case_end
report="$WINEPREFIX/drive_c/capture/capture.txt"
if grep -q '^library C:\\Bad\\ztrm_bad_vendor.dll (Bad/Crash, Bad/Hang): failed (Bad/Crash: the helper process ended with 0x[0-9A-F]\{8\}; Bad/Hang: no answer within 10 s); the replay cannot load it\r\?$' "$report" &&
  grep -q '^library C:\\Bad\\missing.dll (Bad/Missing): cannot be loaded; nor can the replay\r\?$' "$report" &&
  grep -q '^library C:\\ZELTRO\\SimModule\\ztsimmod.dll (.*): replayed by ztsimmod\r\?$' "$report"; then
  wh_pass "capture.txt names the failing library, the missing one and the simulated one"
else
  wh_fail "capture.txt:"
  sed 's/^/     /' "$report"
fi
if replay "$WH_STATE/replay_bad"; then
  out="$WH_STATE/replay_bad/drive_c/windows"
  for file in pxisys.ini pxiesys.ini; do
    wh_compare "$file (demo's expected file, time stamp masked)" \
      <(wh_mask_system_file "$source_dir/tests/expected/demo/$file" | perl -pe 's/\r?\n/\r\n/') \
      <(wh_mask_system_file "$out/$file") "expected < > replay"
  done
  if [ "$(grep -c 'PeripheralModule_LoadLibrary = C:\\Bad\\.* = Fail' "$out/pxirms.log")" = 3 ]; then
    wh_pass "the three bad models replay as libraries that do not load"
  else
    wh_fail "the replay's log does not show the three bad models failing to load"
  fi
fi

wh_finish
