#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
printf '; an older pxisys.ini, kept open by a reader\r\n' >"$IMAGE/drive_c/windows/pxisys.ini"
