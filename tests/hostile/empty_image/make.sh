#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
mkdir -p "$IMAGE/drive_c/windows"
rm -f "$IMAGE/registry.reg"
