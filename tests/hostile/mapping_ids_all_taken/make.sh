#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'print "[ChassisMappingID]\r\n"; for $i (1..255) { print "Chassis$i=", 256 - $i, "\r\n" }' >"$PXI/ChassisMappingID.ini"
