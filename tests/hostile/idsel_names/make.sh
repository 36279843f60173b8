#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -0777 -i -pe 's/IDSELList = ""/IDSELList = "abc,-5,99999"/; s/BridgeList = ""/BridgeList = "abc,-5,99999,"/' "$DESC/ZT1085.ini"
