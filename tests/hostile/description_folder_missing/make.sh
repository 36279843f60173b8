#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
rm -rf "$DESC"
