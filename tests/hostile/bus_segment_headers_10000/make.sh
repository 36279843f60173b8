#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'for $i (3..10002) { print "[PCIBusSegment$i]\r\n" }' >>"$DESC/ZT1085.ini"
