#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
{ head -c 1048576 /dev/zero | tr '\0' A; printf '\r\n'; cat "$DEMO/drive_c/ZELTRO/PXI/ChassisDescriptions/ZT1085.ini"; } >"$DESC/ZT1085.ini"
