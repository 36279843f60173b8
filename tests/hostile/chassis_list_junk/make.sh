#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'srand(7); print map { chr(int(rand(256))) } 1..20000' >"$PXI/PXIChassisList.ini"
