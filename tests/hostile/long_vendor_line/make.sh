#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
printf '[Chassis]\r\nVendor = "%s"\r\nModel = "ZT1085"\r\n' "$(head -c 290 /dev/zero | tr '\0' V)" >"$DESC/A_long.ini"
