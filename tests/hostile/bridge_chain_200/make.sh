#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
from_demo
# Bus 4 lies behind 200 bridges: 4 -> 250 -> 249 -> ... -> 52 -> 51 -> root bus 0.
perl -i -pe 's/^"Bus4"=.*/"Bus4"="250,28,0,0"/' "$IMAGE/registry.reg"
lines=()
for bus in $(seq 51 250); do
  if [ "$bus" = 51 ]; then next=0; else next=$((bus - 1)); fi
  lines+=("\"Bus$bus\"=\"$next,1,0,0\"")
done
perl -0777 -i -pe 'BEGIN { $add = shift @ARGV } s/(\[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters\]\r?\n)/$1$add/ or die "no driver key\n"' "$(printf '%s\r\n' "${lines[@]}")" "$IMAGE/registry.reg"
