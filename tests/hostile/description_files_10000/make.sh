#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
perl -e 'for $i (1..10000) { open F, ">", sprintf("%s/X%05d.ini", $ARGV[0], $i) or die; print F "[Chassis]\r\nVendor = \"Other\"\r\nModel = \"M$i\"\r\n"; close F }' "$DESC"
