#!/usr/bin/env bash
# Writes the simulation kit zip: the simulated vendor module (x64 and x86),
# the simulated resource driver, the demo system image and
# packaging/simulation-kit.txt as README.txt.
#
#   packaging/make_simulation_kit.sh MINGW_DIR MINGW32_DIR OUT.zip EPOCH
#
# Reproducible: every entry has the time EPOCH (UTC), mode 644 (folders 755),
# no extra fields, and the entries are in byte order of their names.
set -euo pipefail
if [ $# -ne 4 ]; then
  echo "usage: $0 MINGW_DIR MINGW32_DIR OUT.zip EPOCH" >&2
  exit 2
fi
x64=$1 x86=$2 out=$3 epoch=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
command -v zip >/dev/null || { echo "make_simulation_kit.sh: zip is not installed" >&2; exit 1; }
for f in "$x64/simmodule/ztsimmod.dll" "$x86/simmodule/ztsimmod.dll" "$x64/ztrmdrv.sys"; do
  [ -f "$f" ] || { echo "make_simulation_kit.sh: $f is missing (build the presets first)" >&2; exit 1; }
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
kit="$stage/ztrm-simulation"
mkdir -p "$kit/x64" "$kit/x86"
cp "$x64/simmodule/ztsimmod.dll" "$x64/ztrmdrv.sys" "$kit/x64/"
cp "$x86/simmodule/ztsimmod.dll" "$kit/x86/"
cp -r "$source_dir/examples/demo" "$kit/demo"
perl -pe 's/\r?\n/\r\n/' "$source_dir/packaging/simulation-kit.txt" >"$kit/README.txt"
find "$kit" -type d -exec chmod 755 {} + && find "$kit" -type f -exec chmod 644 {} +
find "$kit" -exec touch -h -d "@$epoch" {} +
out_abs=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
rm -f "$out_abs"
(cd "$stage" && find ztrm-simulation | LC_ALL=C sort | TZ=UTC zip -q -X -D -@ "$out_abs")
