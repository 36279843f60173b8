#!/bin/bash
# The release command twice on this commit, and the packages' tables:
#
#   tests/e2e/release_check.sh WORK_DIR
#
# - ./release.sh --out WORK_DIR/first, then --out WORK_DIR/second: the zip
#   archives are the same bytes, SHA256SUMS verifies in both, and the two
#   builds of each package differ in nothing but the summary information;
# - the x86 package (never installed here: these machines cannot run 32-bit
#   programs) and the x64 package read back with msiinfo: program folder,
#   service row, registry rows and their view, launch conditions, custom
#   actions, platform.
# Needs wixl, msitools, zip and the mingw presets' tool chains.
set -uo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 WORK_DIR" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
failures=0
pass() { echo "PASS $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
for tool in wixl msiinfo zip sha256sum; do
  command -v "$tool" >/dev/null || { echo "FAIL setup: $tool is not installed"; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

start=$(date +%s)
for run in first second; do
  if ! "$source_dir/release.sh" --out "$work/$run" >"$work/$run.out" 2>&1; then
    echo "FAIL release.sh --out $work/$run:"; tail -20 "$work/$run.out" | sed 's/^/  /'
    exit 1
  fi
done
echo "   (two releases in $(($(date +%s) - start)) s)"

full=$(sed -n 's/^project(ztrm VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
IFS=. read -r major minor patch _ <<<"$full"
version="$major.$minor.$patch"
listing=$(cd "$work/first" && ls | tr '\n' ' ')
if [ "$listing" = "SHA256SUMS ztrm-$version-simulation.zip ztrm-$version-source.zip ztrm-$version-x64.msi ztrm-$version-x86.msi " ]; then pass "release folder holds $listing"; else fail "release folder holds: $listing"; fi
for run in first second; do
  if (cd "$work/$run" && sha256sum --quiet -c SHA256SUMS) && [ "$(wc -l <"$work/$run/SHA256SUMS")" = 4 ]; then
    pass "$run: SHA256SUMS verifies its four files"
  else
    fail "$run: SHA256SUMS does not verify"
  fi
done
for zip in "ztrm-$version-simulation.zip" "ztrm-$version-source.zip"; do
  if cmp -s "$work/first/$zip" "$work/second/$zip"; then pass "$zip: the same bytes twice"; else fail "$zip differs between the two releases"; fi
done
kit=$(unzip -Z1 "$work/first/ztrm-$version-simulation.zip" | grep -v '/$' | tr '\n' ' ')
for f in ztrm-simulation/README.txt ztrm-simulation/x64/ztsimmod.dll ztrm-simulation/x86/ztsimmod.dll \
         ztrm-simulation/x64/ztrmdrv.sys ztrm-simulation/demo/registry.reg \
         ztrm-simulation/demo/drive_c/ZELTRO/SimModule/ztsimmod.ini; do
  [[ " $kit" == *" $f "* ]] || fail "simulation kit: $f is missing"
done
[[ "$kit" == *ztsimmod.dll* ]] && pass "simulation kit holds both module builds, the driver and the demo"
for arch in x64 x86; do
  pkg="ztrm-$version-$arch.msi"
  differ=""
  for table in $(msiinfo tables "$work/first/$pkg") ztrm.cab; do
    if [ "$table" = ztrm.cab ]; then
      cmp -s <(msiinfo extract "$work/first/$pkg" ztrm.cab) <(msiinfo extract "$work/second/$pkg" ztrm.cab) || differ="$differ cabinet"
    else
      cmp -s <(msiinfo export "$work/first/$pkg" "$table") <(msiinfo export "$work/second/$pkg" "$table") || differ="$differ $table"
    fi
  done
  if [ "$differ" = " _SummaryInformation" ]; then pass "$pkg: two builds differ only in the summary information"; else fail "$pkg: two builds differ in:$differ"; fi
  # Neither package holds a simulated part.
  if msiinfo export "$work/first/$pkg" File | grep -q -i -E 'ztsimmod|ztrmdrv'; then fail "$pkg holds a simulated part"; fi
done

# has_row PACKAGE TABLE ROW (tab-separated as msiinfo exports it)
has_row() {
  if msiinfo export "$1" "$2" | tr -d '\r' | grep -q -x -F -- "$3"; then
    pass "$(basename "$1") $2: $(printf '%s' "$3" | tr '\t' '|')"
  else
    fail "$(basename "$1") $2 has no row $(printf '%s' "$3" | tr '\t' '|')"
  fi
}
T=$'\t'
for arch in x64 x86; do
  pkg="$work/first/ztrm-$version-$arch.msi"
  if [ $arch = x64 ]; then folder=ProgramFiles64Folder bits=256 template="x64;1033"; else folder=ProgramFilesFolder bits=0 template="Intel;1033"; fi
  has_row "$pkg" Directory "ZeltroFolder${T}${folder}${T}ZELTRO"
  has_row "$pkg" Directory "INSTALLFOLDER${T}ZeltroFolder${T}ZTRM"
  has_row "$pkg" ServiceInstall "ServiceEntry${T}ZTLRMService${T}ZELTRO PXI Software Service Enumerator${T}16${T}2${T}1${T}${T}${T}Localsystem${T}${T}${T}ServiceExecutable${T}"
  has_row "$pkg" ServiceControl "ServiceEntryControl${T}ZTLRMService${T}171${T}${T}1${T}ServiceExecutable"
  for value in "PXI-2Version${T}#131076" "PXI-4Version${T}#0" "PXI-6Version${T}#65538"; do
    msiinfo export "$pkg" Registry | tr -d '\r' |
      grep -q -P "^reg[0-9A-F]+\t2\tSOFTWARE\\\\PXISA\\\\Services\\\\Resource Managers\\\\ZELTRO Technology\\\\?\t${value}\tRegistration$" &&
      pass "$(basename "$pkg") Registry: HKLM ...\\ZELTRO Technology ${value%%$T*}" ||
      fail "$(basename "$pkg") Registry: no HKLM row ${value}"
  done
  # 4: the registration's key path is a registry value; 256: the 64-bit view
  has_row "$pkg" Component "Registration${T}{$(msiinfo export "$pkg" Component | sed -n 's/^Registration\t{\([^}]*\)}.*/\1/p')}${T}TARGETDIR${T}$((bits + 4))${T}${T}$(msiinfo export "$pkg" Component | sed -n 's/^Registration\t.*\t\(reg[0-9A-F]*\)\r\{0,1\}$/\1/p')"
  if msiinfo export "$pkg" Component | tr -d '\r' | awk -F'\t' -v b=$bits 'NR > 3 && int($4 / 256) % 2 != b / 256 { bad = 1 } END { exit bad }'; then
    pass "$(basename "$pkg") Component: every component in the $arch view"
  else
    fail "$(basename "$pkg") Component: a component in the other view"
  fi
  has_row "$pkg" LaunchCondition "NOT WIX_DOWNGRADE_DETECTED${T}A newer version of the ZELTRO PXI Resource Manager is already installed. Uninstall it first to install this older version."
  if [ $arch = x64 ]; then
    has_row "$pkg" LaunchCondition "VersionNT64${T}This package is for 64-bit Windows. Install the x86 package on 32-bit Windows."
  elif msiinfo export "$pkg" LaunchCondition | grep -q VersionNT64; then
    fail "$(basename "$pkg") refuses 32-bit Windows"
  fi
  has_row "$pkg" CustomAction "ConfigureResourceManager${T}3090${T}ztrm_setup.exe${T}install${T}"
  has_row "$pkg" CustomAction "ReleaseResourceManager${T}3154${T}ztrm_setup.exe${T}uninstall${T}"
  has_row "$pkg" Property "ProductVersion${T}$version"
  if msiinfo suminfo "$pkg" | grep -q -x -F "Template: $template"; then pass "$(basename "$pkg") platform $template"; else fail "$(basename "$pkg") platform is not $template"; fi
done

echo "== $failures failed"
[ "$failures" = 0 ]
