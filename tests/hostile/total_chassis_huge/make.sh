#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -i -pe 's/TotalChassis = 1/TotalChassis = 2147483647/' "$PXI/PXIChassisList.ini"
