#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
mkdir -p "$IMAGE/drive_c/windows"
perl -e 'srand(5); print map { chr(int(rand(256))) } 1..30000' >"$IMAGE/registry.reg"
