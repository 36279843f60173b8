#!/bin/bash
# ztrm-sim on a copy of a system image under valgrind's memcheck: any memory
# error or any definitely or indirectly lost block fails.
#
#   tests/valgrind_sim.sh ZTRM_SIM BUILD_DIR WORK_DIR IMAGE
set -euo pipefail
sim=$1 build=$2 work=$3 image=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
copy="$work/valgrind-image"
rm -rf "$copy"
mkdir -p "$work"
cp -r "$image" "$copy"
bash "$source_dir/simmodule/install_into_image.sh" "$copy" "$build"
trap 'rm -rf "$copy"' EXIT
valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --show-leak-kinds=definite,indirect "$sim" --time=2026-12-07T10:00:00.000 "$copy"
