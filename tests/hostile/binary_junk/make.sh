#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'srand(12); print map { chr(int(rand(256))) } 1..65536' >"$DESC/Junk.ini"
