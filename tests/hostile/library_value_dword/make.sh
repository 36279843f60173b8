#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
reg_add "" "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\ZELTRO Technology\\ZT-9001]" '"Library"=dword:00000001' '"Version"="1.0"'
