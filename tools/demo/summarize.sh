#!/usr/bin/env bash
# Prints a short summary of a run's system files: each chassis of pxisys.ini
# (PXI-1 or PXI Express, as pxiesys.ini lists it) with its slot count (from
# pxiesys.ini's slot list for a PXI Express chassis, whose pxisys.ini entry
# names the slots bus segments place), and each module that pxiesys.ini
# places in a slot.
#
#   tools/demo/summarize.sh FOLDER    (FOLDER holds pxisys.ini and pxiesys.ini)
set -euo pipefail
folder=$1
for f in pxisys.ini pxiesys.ini; do
  [ -f "$folder/$f" ] || { echo "no $f in $folder: the run wrote no system files"; exit 1; }
done
tr -d '\r' <"$folder/pxiesys.ini" | awk -v sys="$folder/pxisys.ini" '
  function value(line) { sub(/^[^=]*= */, "", line); gsub(/^"|"$/, "", line); return line }
  function flush() {
    if (slot != "" && instance != "") {
      modules[chassis] = modules[chassis] sprintf("    slot %-3s %s %s, %s\n", slot, vendor, model, instance)
    }
    slot = ""; instance = ""; model = ""; vendor = ""
  }
  /^\[System\]/ { flush(); section = "system"; next }
  /^\[Chassis[0-9]+\]$/ { flush(); chassis = substr($0, 9, length($0) - 9); express[chassis] = 1; section = "chassis"; next }
  /^\[Chassis[0-9]+Slot[^]]*\]$/ {
    flush(); section = "slot"
    chassis = $0; sub(/^\[Chassis/, "", chassis); sub(/Slot.*/, "", chassis)
    slot = $0; sub(/^\[Chassis[0-9]+Slot/, "", slot); sub(/\]$/, "", slot)
    next
  }
  /^\[/ { flush(); section = ""; next }
  section == "chassis" && /^SerialNumber = / { serial[chassis] = value($0) }
  section == "chassis" && /^SlotList = / { s = value($0); eslots[chassis] = s == "" ? 0 : split(s, parts, ",") }
  section == "slot" && /^Model = / { model = value($0) }
  section == "slot" && /^Vendor = / { vendor = value($0) }
  section == "slot" && /^InstanceName = / { instance = value($0) }
  END {
    flush()
    n = 0
    while ((getline line < sys) > 0) {
      gsub(/\r/, "", line)
      if (line ~ /^\[Chassis[0-9]+\]$/) { c = substr(line, 9, length(line) - 9); order[++n] = c; cur = c; continue }
      if (line ~ /^\[/) { cur = ""; continue }
      if (cur == "") continue
      if (line ~ /^Model = /) cmodel[cur] = value(line)
      if (line ~ /^Vendor = /) cvendor[cur] = value(line)
      if (line ~ /^SlotList = /) { s = value(line); slots[cur] = s == "" ? 0 : split(s, parts, ",") }
    }
    if (n == 0) print "No chassis: pxisys.ini lists none (the run log says where the run looked)."
    for (i = 1; i <= n; ++i) {
      c = order[i]
      kind = (c in express) ? "PXI Express" : "PXI-1"
      printf "Chassis %s: %s %s %s, %d slots", c, kind, cvendor[c], cmodel[c], (c in eslots) ? eslots[c] : slots[c]
      if ((c in serial) && serial[c] != "") printf ", serial number %s", serial[c]
      printf "\n"
      if (c in modules) printf "%s", modules[c]
      else if (kind == "PXI Express") print "    no module found in its slots"
      else print "    (PXI-1: pxisys.ini names the slots, not the modules in them)"
    }
  }'
