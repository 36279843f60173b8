#!/usr/bin/env bash
# Runs the main job on the built-in demo system: one worker start and one
# enumeration run on a copy of examples/demo, then shows the files it wrote.
set -euo pipefail
cd "$(dirname "$0")"

cmake --preset native >/dev/null
cmake --build --preset native --target ztrm-sim >/dev/null

run=build/demo
rm -rf "$run"
mkdir -p build
cp -r examples/demo "$run"
build/native/ztrm-sim "$run"
for f in pxirms.log pxisys.ini pxiesys.ini; do
  echo "===== $run/drive_c/windows/$f"
  tr -d '\r' < "$run/drive_c/windows/$f"
done
if [ -f "$run/launches.log" ]; then
  echo "===== companion launches ($run/launches.log)"
  cat "$run/launches.log"
fi
