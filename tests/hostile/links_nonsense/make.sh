#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
sim_add ZT-8370 "Info.100 = 0xFFFFFFFF" "Info.101 = 0xFFFFFFFF"
