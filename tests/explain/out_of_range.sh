#!/bin/bash
# The demo system with one module moved out of its controller's range: the
# ZT-4120 "ZT4120-1002" reports bus 30, which lies in neither controller's
# bus range (ZT-8840: 8-19, ZT-8370: 20-24). README "Why is a module
# missing?" explains it with `ztrm-sim --explain`.
#
#   tests/explain/out_of_range.sh IMAGE   (IMAGE is made or overwritten)
set -euo pipefail
. "$(dirname "$0")/../hostile/lib.sh" "$1"
mkdir -p "$IMAGE"
from_demo
sed -i 's/^Info.100 = 14$/Info.100 = 30/' "$SIMINI"
grep -q '^Info.100 = 30$' "$SIMINI"
