#!/usr/bin/env bash
# The benchmark images hold systems that can exist and lose nothing: for the
# default size, the largest mix and the largest PXI Express system the bus
# numbers allow, every chassis and module reaches the system files
# (make_bench_image.py --check).
#
#   tests/bench_images_check.sh GENERATOR WORK_DIR ZTSIMMOD_SO ZTRM_SIM
set -euo pipefail
generator=$1 work=$2 module=$3 sim=$4
for size in "16 8" "61 30" "127 0"; do
  read -r pxie pxi1 <<<"$size"
  if python3 "$generator" "$work/$pxie-$pxi1" "$module" --pxie "$pxie" --pxi1 "$pxi1" \
    --check "$sim" >"$work.out" 2>&1; then
    echo "PASS: $pxie PXI Express + $pxi1 PXI-1 chassis: every chassis and module written"
  else
    echo "FAIL: $pxie PXI Express + $pxi1 PXI-1 chassis:"
    cat "$work.out"
    exit 1
  fi
  rm -rf "$work/$pxie-$pxi1"
done
