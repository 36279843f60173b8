#!/bin/bash
# Builds the case's image: see case.txt (the test takes the folder's write
# permission away).
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
