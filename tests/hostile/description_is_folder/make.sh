#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
mkdir -p "$DESC/Folder.ini"
echo inside >"$DESC/Folder.ini/inner.txt"
