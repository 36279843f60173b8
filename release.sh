#!/usr/bin/env bash
# Builds a release into build/release/ (or --out DIR):
#
#   ztrm-<version>-x64.msi, ztrm-<version>-x86.msi   the installer packages
#   ztrm-<version>-simulation.zip                    the simulation kit
#   ztrm-<version>-source.zip                        git archive of HEAD
#   SHA256SUMS                                       sha256sum of the four
#
# <version> is the CMake project version's major.minor.patch. The zip archives
# are reproducible: the same commit gives the same bytes (every time stamp is
# the commit's). The packages differ between two builds only in their summary
# information (a new package code, the creation time); their tables and
# cabinet are the same bytes.
set -euo pipefail
cd "$(dirname "$0")"
out=build/release
if [ "${1:-}" = --out ] && [ $# = 2 ]; then
  out=$2
elif [ $# != 0 ]; then
  echo "usage: $0 [--out DIR]" >&2
  exit 2
fi

for preset in mingw mingw32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

full=$(sed -n 's/^project(ztrm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor patch _ <<<"$full"
version="$major.$minor.$patch"
epoch=$(git log -1 --format=%ct)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release.sh: note: the working tree has changes that are not committed;" \
       "the source archive holds the commit $(git rev-parse --short HEAD) without them" >&2
fi

rm -rf "$out"
mkdir -p "$out"
bash packaging/build_msi.sh x64 "$version" build/mingw "$out/ztrm-$version-x64.msi" "$epoch"
bash packaging/build_msi.sh x86 "$version" build/mingw32 "$out/ztrm-$version-x86.msi" "$epoch"
bash packaging/make_simulation_kit.sh build/mingw build/mingw32 "$out/ztrm-$version-simulation.zip" "$epoch"
git archive --format=zip --prefix="ztrm-$version/" -o "$out/ztrm-$version-source.zip" HEAD
(cd "$out" && sha256sum "ztrm-$version-x64.msi" "ztrm-$version-x86.msi" \
   "ztrm-$version-simulation.zip" "ztrm-$version-source.zip" >SHA256SUMS)
echo "release $version of $(git rev-parse --short HEAD) in $out:"
(cd "$out" && ls -l | sed 1d)
