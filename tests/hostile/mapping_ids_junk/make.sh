#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
{ printf '[ChassisMappingID]\r\nChassis1=70000\r\nChassis2=abc\r\nChassis3=-5\r\n'; perl -e 'srand(3); print map { chr(int(rand(256))) } 1..4000'; } >"$PXI/ChassisMappingID.ini"
