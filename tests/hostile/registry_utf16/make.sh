#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$DEMO/registry.reg"; } >"$IMAGE/registry.reg"
