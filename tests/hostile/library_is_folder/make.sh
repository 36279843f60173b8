#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
reg_add "" "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\ZELTRO Technology\\ZT-9000]" '"Library"="C:\\Dir\\lib.dll"' '"Version"=dword:00010000'
mkdir -p "$IMAGE/drive_c/Dir/lib.so" "$IMAGE/drive_c/Dir/lib.dll"
touch "$IMAGE/drive_c/Dir/lib.so/x" "$IMAGE/drive_c/Dir/lib.dll/x"
