#!/usr/bin/env bash
# The main job on the built-in demo system (examples/demo):
#
#   ./demo.sh           builds the Windows service and runs
#                       `ZTRMService.exe -startonce` under Wine on a copy of
#                       the demo image in a fresh Wine prefix under build/:
#                       it installs the service, waits for its enumeration run,
#                       stops and removes it. Shows the console output and the
#                       files the run wrote (pxirms.log, pxisys.ini,
#                       pxiesys.ini, ztbuslist.dat), which stay in
#                       build/demo-wine/. The simulated resource driver is
#                       started first, as a kernel driver service. The
#                       picture of the system (build/native/ztrm-view) is
#                       written to build/demo-wine/pxisys.html.
#   ./demo.sh --native  the same image through the native scenario runner
#                       build/native/ztrm-sim --html (no Wine needed); the
#                       files stay in build/demo/drive_c/windows/, the
#                       picture of the system is pxisys.html there.
#
# Each step says what it does and roughly how long it takes; builds show their
# progress every 20 seconds. Both end with a short summary of the system the
# run found (chassis, modules and their slots) and where the files are.
# Exit status: 0 when the run wrote its files, non-zero otherwise (a failed
# build or Wine start shows the tool's own last lines and a hint).
#
# The Wine prefix (about 700 MB) is removed afterwards unless KEEP_WINEPREFIX=1.
set -euo pipefail
cd "$(dirname "$0")"

# Runs a build command with its output in build/demo-build.log, printing its
# progress (the last "[ NN%]" the build showed) every 20 seconds; on failure
# shows the log's last lines.
build_step() {
  local what=$1 estimate=$2
  shift 2
  local log=build/demo-build.log start=$SECONDS next=20 pid status=0
  mkdir -p build
  echo "$what ($estimate)..."
  "$@" >"$log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if ((SECONDS - start >= next)); then
      next=$((next + 20))
      echo "  ... $((SECONDS - start)) s, $(grep -o '^\[ *[0-9]*%\]' "$log" | tail -1 | tr -d '[] ' || true) done"
    fi
  done
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "The build failed (exit $status); its last lines ($log):" >&2
    tail -n 25 "$log" >&2
    exit 1
  fi
  echo "  built in $((SECONDS - start)) s"
}

show_files() {
  local folder=$1
  for f in pxisys.ini pxiesys.ini ztbuslist.dat; do
    echo "===== $folder/$f"
    if [ -f "$folder/$f" ]; then tr -d '\r' <"$folder/$f"; else echo "(not written)"; fi
  done
  if [ -f "$folder/pxirms.log" ]; then
    echo "===== $folder/pxirms.log: the run log, $(wc -l <"$folder/pxirms.log") lines (not shown)"
  else
    echo "===== $folder/pxirms.log: (not written)"
  fi
}

# The summary at the end; non-zero when the run wrote no system files.
summary() {
  local folder=$1 picture=$2
  echo
  echo "===== Summary: the demo system as the run found it"
  tools/demo/summarize.sh "$folder" || return 1
  echo "The files: $folder/ (pxisys.ini, pxiesys.ini, pxirms.log, ztbuslist.dat)"
  echo "The picture: $picture (open it in a browser)"
}

if [ "${1:-}" = "--native" ]; then
  cmake --preset native >/dev/null
  build_step "Building the native runner and the simulated vendor module" \
    "first time: 3 to 5 minutes; later: seconds" \
    cmake --build --preset native --target ztrm-sim ztrm-view ztsim_modules
  run=build/demo
  rm -rf "$run"
  cp -r examples/demo "$run"
  simmodule/install_into_image.sh "$run" build/native
  echo "Running the worker start and one enumeration run natively (ztrm-sim, about a second)..."
  build/native/ztrm-sim --html "$run"
  show_files "$run/drive_c/windows"
  if [ -f "$run/launches.log" ]; then
    echo "===== companion launches ($run/launches.log)"
    cat "$run/launches.log"
  fi
  summary "$run/drive_c/windows" "$PWD/$run/drive_c/windows/pxisys.html"
  exit
elif [ $# -ne 0 ]; then
  echo "usage: $0 [--native]" >&2
  exit 2
fi

for tool in wine wineserver; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed (apt-get install wine wine64), or run $0 --native" >&2
    exit 1
  fi
done

out=$PWD/build/demo-wine
export WINEPREFIX=$out/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$out"
mkdir -p "$WINEPREFIX"
idle_pid=""
cleanup() {
  if [ -n "$idle_pid" ]; then kill "$idle_pid" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  if [ "${KEEP_WINEPREFIX:-0}" != 1 ]; then rm -rf "$WINEPREFIX"; fi
}
trap cleanup EXIT

# Wine first: when it cannot start, nothing needs building.
echo "Making a Wine prefix in $WINEPREFIX (10 to 20 seconds)..."
boot_status=0
timeout 180 wine wineboot -i >"$out/wineboot.log" 2>&1 || boot_status=$?
if [ "$boot_status" -eq 0 ]; then timeout 120 wineserver -w || boot_status=$?; fi
if [ "$boot_status" -ne 0 ]; then
  echo "Wine could not make its prefix (exit $boot_status). Wine said:" >&2
  tail -n 15 "$out/wineboot.log" >&2
  echo "Hint: \"Exec format error\" means the 32-bit wine32 package is installed, which this" >&2
  echo "machine cannot run: remove it (apt-get remove wine32:i386) and keep wine and wine64." >&2
  echo "Exit 124 means it took over 3 minutes. Without Wine, $0 --native runs the same image." >&2
  exit 1
fi

for preset in native mingw; do
  cmake --preset "$preset" >/dev/null
done
build_step "Building the Windows service, the simulated resource driver and vendor module" \
  "first time: 3 to 6 minutes; later: seconds" \
  cmake --build --preset mingw --target ZTRMService ztrm_wine_idle ztrmdrv ztsim_modules
build_step "Building the native picture tool" "first time: 2 to 4 minutes; later: seconds" \
  cmake --build --preset native --target ztrm-view

drive_c=$WINEPREFIX/drive_c
cp -r examples/demo/drive_c/. "$drive_c/"
simmodule/install_into_image.sh "$WINEPREFIX" build/mingw
mkdir -p "$drive_c/ztrm_bin"
cp build/mingw/ZTRMService.exe build/mingw/ztrm_wine_idle.exe "$drive_c/ztrm_bin/"
# Wine ends its services and drivers with the session's last ordinary process:
# an idle one keeps the session, and the resource driver, up until the end.
wine 'C:\ztrm_bin\ztrm_wine_idle.exe' </dev/null >/dev/null 2>&1 &
idle_pid=$!
echo "Loading the demo system's registry.reg into the prefix's registry..."
cp examples/demo/registry.reg "$drive_c/demo.reg"
timeout 60 wine regedit /S 'C:\demo.reg'
echo "Starting the simulated resource driver ztrmdrv.sys (a kernel driver service)..."
mkdir -p "$drive_c/windows/system32/drivers"
cp build/mingw/ztrmdrv.sys "$drive_c/windows/system32/drivers/"
timeout 60 wine sc create ZTRMDRV type= kernel start= demand \
  binPath= 'C:\windows\system32\drivers\ztrmdrv.sys' </dev/null >/dev/null
timeout 60 wine sc start ZTRMDRV </dev/null >/dev/null

echo "Installing the service, waiting for its enumeration run, removing it (5 to 15 seconds):"
echo "===== wine C:\\ztrm_bin\\ZTRMService.exe -startonce"
timeout 300 wine 'C:\ztrm_bin\ZTRMService.exe' -startonce </dev/null | tr -d '\r'
# The files are complete once the Wine session has ended.
kill "$idle_pid" 2>/dev/null || true
idle_pid=""
timeout 60 wineserver -w || wineserver -k
for f in pxirms.log pxisys.ini pxiesys.ini ztbuslist.dat; do
  if [ -f "$drive_c/windows/$f" ]; then cp "$drive_c/windows/$f" "$out/"; fi
done
show_files "$out"
view_status=0
build/native/ztrm-view --log "$out/pxirms.log" "$out/pxisys.ini" "$out/pxiesys.ini" \
  -o "$out/pxisys.html" >/dev/null || view_status=$?
case $view_status in
  0) picture=$out/pxisys.html ;;
  1) picture="$out/pxisys.html (some parts not drawn, named in the page)" ;;
  *) picture="none: it could not be written" ;;
esac
summary "$out" "$picture"
