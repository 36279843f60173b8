#!/usr/bin/env bash
# Builds one installer package from packaging/ztrm.wxs with wixl.
#
#   packaging/build_msi.sh x64|x86 VERSION BUILD_DIR OUT.msi [EPOCH]
#
# VERSION is major.minor.build (Windows Installer compares these three).
# BUILD_DIR is the preset's build folder (build/mingw for x64, build/mingw32
# for x86). The files are staged with the modification time EPOCH (seconds;
# default: the commit's time), which the cabinet records, so the same files
# give the same tables and cabinet; only the summary information (a new package
# code and the creation time, as wixl writes them) differs between two builds.
set -euo pipefail
if [ $# -lt 4 ] || [ $# -gt 5 ]; then
  echo "usage: $0 x64|x86 VERSION BUILD_DIR OUT.msi [EPOCH]" >&2
  exit 2
fi
arch=$1 version=$2 build=$3 out=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
epoch=${5:-$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || echo 0)}
case $arch in
  x64|x86) ;;
  *) echo "build_msi.sh: the architecture is x64 or x86, not \"$arch\"" >&2; exit 2 ;;
esac
if ! [[ $version =~ ^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,5}$ ]]; then
  echo "build_msi.sh: the version is major.minor.build (at most 255.255.65535), not \"$version\"" >&2
  exit 2
fi
for tool in wixl python3; do
  command -v "$tool" >/dev/null || { echo "build_msi.sh: $tool is not installed (apt-get install wixl)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/bin" "$stage/doc"
for f in ZTRMService.exe ztrm-check.exe ztrm-capture.exe ztrm-setup.exe; do
  if [ ! -f "$build/$f" ]; then
    echo "build_msi.sh: $build/$f is missing (build the preset first)" >&2
    exit 1
  fi
  cp "$build/$f" "$stage/bin/"
done
# The documentation as text with CR LF line ends, for Notepad.
perl -pe 's/\r?\n/\r\n/' "$source_dir/README.md" >"$stage/doc/README.txt"
perl -pe 's/\r?\n/\r\n/' "$source_dir/docs/installing.md" >"$stage/doc/INSTALLING.txt"
find "$stage" -type f -exec touch -d "@$epoch" {} +

# One version of one architecture is one product: its product code is derived
# from the two, so the same package installed again is a repair.
product_code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.NAMESPACE_URL, "urn:zeltro:ztrm:" + sys.argv[1] + ":" + sys.argv[2])).upper())' "$arch" "$version")
out_abs=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
# wixl reads the Source paths relative to the folder it runs in.
(cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$product_code" \
  -D BinDir=bin -D DocDir=doc -o "$out_abs" "$source_dir/packaging/ztrm.wxs")
