#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'print "[Information]\r\nTotalChassis = 2000\r\n";
  for $i (1..2000) {
    $model = ($i == 1024 || $i == 1025) ? "ZT-1018 PXI Chassis" : "None";
    print "[Chassis$i]\r\nChassisID = $i\r\nVendor = \"ZELTRO Technology\"\r\nModel = \"$model\"\r\nPCIRootBusNumber = 4\r\n" }' >"$PXI/PXIChassisList.ini"
