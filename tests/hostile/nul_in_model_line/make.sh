#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -0777 -i -pe 's/Model = "ZT1085"/Model = "ZT1085"\0junk/' "$DESC/ZT1085.ini"
