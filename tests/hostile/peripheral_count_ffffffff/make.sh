#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
sim_add ZT-6250 "ReportedCount = 4294967295"
