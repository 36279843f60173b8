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
# The Wine prefix (about 700 MB) is removed afterwards unless KEEP_WINEPREFIX=1.
set -euo pipefail
cd "$(dirname "$0")"

show_files() {
  local folder=$1
  for f in pxirms.log pxisys.ini pxiesys.ini ztbuslist.dat; do
    echo "===== $folder/$f"
    if [ -f "$folder/$f" ]; then tr -d '\r' <"$folder/$f"; else echo "(not written)"; fi
  done
}

if [ "${1:-}" = "--native" ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native --target ztrm-sim ztrm-view ztsim_modules >/dev/null
  run=build/demo
  rm -rf "$run"
  mkdir -p build
  cp -r examples/demo "$run"
  simmodule/install_into_image.sh "$run" build/native
  build/native/ztrm-sim --html "$run"
  show_files "$run/drive_c/windows"
  if [ -f "$run/launches.log" ]; then
    echo "===== companion launches ($run/launches.log)"
    cat "$run/launches.log"
  fi
  echo "===== the picture of the system: $PWD/$run/drive_c/windows/pxisys.html (open it in a browser)"
  exit 0
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
echo "Building the Windows service (mingw preset) and the native runner..."
for preset in native mingw; do
  cmake --preset "$preset" >/dev/null
done
cmake --build --preset mingw --target ZTRMService ztrm_wine_idle ztrmdrv ztsim_modules >/dev/null
cmake --build --preset native --target ztrm-sim ztrm-view >/dev/null

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

echo "Making a Wine prefix in $WINEPREFIX (10 to 20 seconds)..."
timeout 180 wine wineboot -i >/dev/null 2>&1
timeout 120 wineserver -w
drive_c=$WINEPREFIX/drive_c
cp -r examples/demo/drive_c/. "$drive_c/"
simmodule/install_into_image.sh "$WINEPREFIX" build/mingw
mkdir -p "$drive_c/ztrm_bin"
cp build/mingw/ZTRMService.exe build/mingw/ztrm_wine_idle.exe "$drive_c/ztrm_bin/"
# Wine ends its services and drivers with the session's last ordinary process:
# an idle one keeps the session, and the resource driver, up until the end.
wine 'C:\ztrm_bin\ztrm_wine_idle.exe' </dev/null >/dev/null 2>&1 &
idle_pid=$!
cp examples/demo/registry.reg "$drive_c/demo.reg"
timeout 60 wine regedit /S 'C:\demo.reg'
echo "Starting the simulated resource driver ztrmdrv.sys..."
mkdir -p "$drive_c/windows/system32/drivers"
cp build/mingw/ztrmdrv.sys "$drive_c/windows/system32/drivers/"
timeout 60 wine sc create ZTRMDRV type= kernel start= demand \
  binPath= 'C:\windows\system32\drivers\ztrmdrv.sys' </dev/null >/dev/null
timeout 60 wine sc start ZTRMDRV </dev/null >/dev/null

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
  0) echo "===== the picture of the system: $out/pxisys.html (open it in a browser)" ;;
  1) echo "===== the picture of the system: $out/pxisys.html (some parts not drawn, named in the page)" ;;
  *) echo "===== the picture of the system could not be written" ;;
esac
