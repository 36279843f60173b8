#!/bin/bash
# The demo system's drive_c beside this folder's registry.reg (an 8-bit
# export of the demo's registry with ANSI and UTF-16 hex data and non-ASCII
# names).
. "$(dirname "$0")/../../../hostile/lib.sh" "$1"
cp -r "$DEMO/drive_c" "$IMAGE/"
