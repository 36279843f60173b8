#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -0777 -i -pe 's/SlotList = "1,2,3,4,5"/SlotList = "1,2,3,4,5"\0junk/; s/\[PCIBusSegment2\]/\x1a[PCIBusSegment2]/' "$DESC/ZT1085.ini"
