#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
pairs=$(perl -e 'print join(",", map { my $r = $_; map { "$r,$_" } 0..254 } 0..254)')
perl -i -pe 'BEGIN { $p = shift @ARGV } s/^"RootBusList"=.*/"RootBusList"="$p"/; s/^"RootBusCount"=.*/"RootBusCount"=dword:000000ff/' "$pairs" "$IMAGE/registry.reg"
