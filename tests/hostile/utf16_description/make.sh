#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
f="$DESC/ZT1085.ini"
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$f"; } >"$f.new"
mv "$f.new" "$f"
