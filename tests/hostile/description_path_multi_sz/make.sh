#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
# The folder as the first string of a REG_MULTI_SZ, the second string another
# folder. The registry file is 8-bit, so each data byte is one character.
hex=$(printf 'C:\\ZELTRO\\PXI\\ChassisDescriptions\0C:\\Other\0\0' | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
perl -i -pe 's/^"ChassisDescriptionFilePath"=.*/"ChassisDescriptionFilePath"=hex(7):'"$hex"'/' "$IMAGE/registry.reg"
