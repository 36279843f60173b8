#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
for n in 254 255 256; do
  reg_add "" "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\ZELTRO Technology\\$(head -c $n /dev/zero | tr '\0' M)]" '"Library"="C:\\ZELTRO\\SimModule\\ztsimmod.dll"' '"Version"=dword:00010000'
done
