#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -i -pe 's/^"ChassisDescriptionFilePath"=.*/"ChassisDescriptionFilePath"="C:\\\\" . ("D" x 300) . "\""/' "$IMAGE/registry.reg"
