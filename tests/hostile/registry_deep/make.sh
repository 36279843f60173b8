#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
p="HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\ZELTRO Technology\\ZT-8840"
for i in $(seq 600); do p="$p\\k$i"; done
reg_add "" "[$p]" '"Library"="x"'
