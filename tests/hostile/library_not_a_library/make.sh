#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -i -pe 's/ztsimmod\.dll/junk.dll/' "$IMAGE/registry.reg"
perl -e 'srand(9); print map { chr(int(rand(256))) } 1..5000' >"$IMAGE/drive_c/ZELTRO/SimModule/junk.so"
cp "$IMAGE/drive_c/ZELTRO/SimModule/junk.so" "$IMAGE/drive_c/ZELTRO/SimModule/junk.dll"
