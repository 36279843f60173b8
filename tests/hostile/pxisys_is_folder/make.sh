#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
mkdir -p "$IMAGE/drive_c/windows/pxisys.ini"
touch "$IMAGE/drive_c/windows/pxisys.ini/keep"
