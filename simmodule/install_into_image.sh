#!/bin/bash
# Puts the simulated vendor module's builds into a system image: beside every
# ztsimmod.ini below IMAGE/drive_c go all the libraries found in the given
# build folders (the native .so files and/or the Windows .dll files of
# BUILD/simmodule), so the native runner and the Windows service find the
# library the registry names in the same place.
#
#   simmodule/install_into_image.sh IMAGE BUILD_DIR...
#   e.g. simmodule/install_into_image.sh /tmp/img build/native build/mingw
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 IMAGE BUILD_DIR..." >&2
  exit 2
fi
image=$1
shift
find "$image/drive_c" -iname ztsimmod.ini -print0 | while IFS= read -r -d '' config; do
  folder=$(dirname "$config")
  for build in "$@"; do
    for library in "$build"/simmodule/ztsimmod*.so "$build"/simmodule/ztsimmod*.dll; do
      if [ -f "$library" ]; then cp "$library" "$folder/"; fi
    done
  done
done
exit 0
