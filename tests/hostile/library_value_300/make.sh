#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
reg_add "" "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\ZELTRO Technology\\ZT-9999]" "\"Library\"=\"C:\\\\$(head -c 300 /dev/zero | tr '\0' L).dll\"" '"Version"=dword:00010000'
