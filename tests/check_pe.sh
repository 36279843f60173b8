#!/bin/bash
# Checks the two Windows builds of ZTRMService.exe (and of ztrm-capture.exe)
# without running them:
#   - build/mingw/ZTRMService.exe is PE32+ for x86-64, build/mingw32's is PE32
#     for i386;
#   - each carries a version resource (type 16, id 1) whose fixed file version
#     is the build's project version, and a manifest resource (type 24, id 1)
#     that requests requireAdministrator;
#   - each imports only DLLs that every Windows installation ships;
#   - each build of the simulated vendor module (simmodule/) exports exactly
#     its PXISA_* names, undecorated, and needs no compiler runtime DLL.
#
#   tests/check_pe.sh [MINGW64_BUILD_DIR [MINGW32_BUILD_DIR]]
#
# The defaults are build/mingw and build/mingw32 of the source tree. Exit code 1
# with a FAIL line for each problem, 2 on bad arguments.
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -gt 2 ]; then
  echo "usage: $0 [MINGW64_BUILD_DIR [MINGW32_BUILD_DIR]]" >&2
  exit 2
fi
build64=${1:-$source_dir/build/mingw}
build32=${2:-$source_dir/build/mingw32}

# System DLLs the service may import, lower case. Runtime DLLs of the compiler
# (libstdc++-6, libgcc_s_*, libwinpthread-1) are deliberately absent: they are
# linked statically.
allowed_dlls=" kernel32.dll advapi32.dll user32.dll gdi32.dll shell32.dll shlwapi.dll
  ole32.dll oleaut32.dll version.dll msvcrt.dll ucrtbase.dll ws2_32.dll rpcrt4.dll
  setupapi.dll cfgmgr32.dll wtsapi32.dll userenv.dll newdev.dll "

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "PASS $*"; }

# Prints the resource leaf "RVA SIZE" of type $2, id $3 from objdump -p output $1.
resource_leaf() {
  awk -v want_type="$2" -v want_id="$3" '
    function hex(s,  i, n) {
      n = 0; s = tolower(s)
      for (i = 1; i <= length(s); ++i) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
      return n
    }
    /^The \.rsrc Resource Directory section:/ { in_rsrc = 1; next }
    !in_rsrc { next }
    /Entry: ID:/ {
      match($0, /^[0-9a-f]+ +/); depth = RLENGTH
      id = $0; sub(/.*Entry: ID: 0x/, "", id); sub(/,.*/, "", id); id = hex(id)
      if (type_depth == 0 || depth == type_depth) { type_depth = depth; type = id; name = -1 }
      else if (name == -1 || depth == name_depth) { name_depth = depth; name = id }
    }
    /Leaf: Addr:/ && type == want_type && name == want_id {
      addr = $0; sub(/.*Addr: 0x/, "", addr); sub(/,.*/, "", addr)
      size = $0; sub(/.*Size: 0x/, "", size); sub(/,.*/, "", size)
      print hex(addr), hex(size); exit
    }
  ' <<<"$1"
}

# Prints the bytes of the image at RVA $2, $3 bytes long, as hex pairs.
bytes_at_rva() {
  local exe=$1 rva=$2 size=$3 objdump=$4 sections line
  sections=$("$objdump" -h "$exe")
  # Section lines: Idx Name Size VMA LMA File-off Algn. The VMA is absolute;
  # the image base turns it into an RVA.
  local image_base
  image_base=$((16#$("$objdump" -p "$exe" | awk '/^ImageBase/ { print $2; exit }')))
  while read -r line; do
    set -- $line
    [ $# -ge 7 ] || continue
    local vsize=$((16#$3)) vma=$((16#$4 - image_base)) fileoff=$((16#$6))
    if [ "$rva" -ge "$vma" ] && [ $((rva + size)) -le $((vma + vsize)) ]; then
      od -An -tx1 -v -j $((fileoff + rva - vma)) -N "$size" "$exe" | tr -s ' \n' ' '
      return 0
    fi
  done < <(grep -E '^ +[0-9]+ ' <<<"$sections")
  return 1
}

# Text as the hex pairs bytes_at_rva prints, without the outer blanks.
as_hex() { printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

check_exe() {
  local label=$1 exe=$2 objdump=$3 want_format=$4 want_magic=$5 build=$6
  if [ ! -f "$exe" ]; then
    fail "$label: $exe does not exist (build it first)"
    return
  fi
  if ! command -v "$objdump" >/dev/null; then
    fail "$label: $objdump is not installed"
    return
  fi
  local headers
  headers=$("$objdump" -p "$exe" 2>&1) || { fail "$label: $objdump cannot read $exe (not a $want_format image?)"; return; }

  local format magic
  format=$(sed -n 's/.*file format \([^ ]*\).*/\1/p' <<<"$headers" | head -1)
  magic=$(awk '/^Magic/ { print $2, $3; exit }' <<<"$headers")
  if [ "$format" = "$want_format" ] && [ "$magic" = "$want_magic" ]; then
    pass "$label: $format, Magic $magic"
  else
    fail "$label: expected format $want_format and Magic $want_magic, found '$format' and '$magic'"
  fi

  # Version resource: the fixed file info follows its signature 0xFEEF04BD.
  local leaf bytes version
  leaf=$(resource_leaf "$headers" 16 1)
  if [ -z "$leaf" ]; then
    fail "$label: no version resource (type 16, id 1)"
  else
    # After the signature: the structure version, then the file version's
    # high and low double words, little-endian.
    bytes=$(bytes_at_rva "$exe" $leaf "$objdump")
    local -a f=(${bytes#* bd 04 ef fe })
    version=""
    if [ "$bytes" != "${bytes#* bd 04 ef fe }" ] && [ ${#f[@]} -ge 12 ]; then
      version="$((16#${f[7]}${f[6]})).$((16#${f[5]}${f[4]})).$((16#${f[11]}${f[10]})).$((16#${f[9]}${f[8]}))"
    fi
    local want_version
    want_version=$(sed -n 's/^#define ZTRM_VERSION_TEXT "\(.*\)"/\1/p' \
      "$build/generated/version_config.h" 2>/dev/null)
    if [ -z "$version" ]; then
      fail "$label: the version resource has no fixed file info"
    elif [ -n "$want_version" ] && [ "$version" != "$want_version" ]; then
      fail "$label: file version $version, but the project version is $want_version"
    else
      pass "$label: version resource, file version $version"
    fi
  fi

  # Manifest resource with the elevation request.
  leaf=$(resource_leaf "$headers" 24 1)
  if [ -z "$leaf" ]; then
    fail "$label: no manifest resource (type 24, id 1)"
  else
    # Compared as hex text, which keeps NUL bytes and line breaks out of the way.
    local manifest
    manifest=$(bytes_at_rva "$exe" $leaf "$objdump")
    if grep -qF "$(as_hex 'level="requireAdministrator"')" <<<"$manifest" &&
      grep -qF "$(as_hex 'uiAccess="false"')" <<<"$manifest"; then
      pass "$label: manifest requests requireAdministrator"
    else
      fail "$label: the manifest does not request requireAdministrator with uiAccess=\"false\""
    fi
  fi

  # Imports.
  local dlls dll bad=""
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | tr -d '\r')
  if [ -z "$dlls" ]; then
    fail "$label: no imported DLLs found"
  fi
  for dll in $dlls; do
    case "$allowed_dlls" in
      *" $dll "*) ;;
      *) case "$dll" in api-ms-win-crt-*.dll) ;; *) bad="$bad $dll" ;; esac ;;
    esac
  done
  if [ -n "$bad" ]; then
    fail "$label: imports DLLs that are not Windows system DLLs:$bad"
  elif [ -n "$dlls" ]; then
    pass "$label: imports only system DLLs:" $dlls
  fi
}

# ztrm-capture.exe carries the same resources (it opens the resource driver,
# which needs an administrator) and is copied to machines the same way;
# ztrm-setup.exe, the installer packages' custom action, likewise: it runs as
# the local system account on a machine with nothing else installed.
for exe in ZTRMService ztrm-capture ztrm-setup; do
  check_exe "mingw x86-64 $exe" "$build64/$exe.exe" x86_64-w64-mingw32-objdump pei-x86-64 "020b (PE32+)" "$build64"
  check_exe "mingw i686 $exe" "$build32/$exe.exe" i686-w64-mingw32-objdump pei-i386 "010b (PE32)" "$build32"
done

# The simulated vendor module: each build exports exactly its PXISA_* names,
# undecorated (no @N on x86), and needs no compiler runtime DLL.
check_simmodule() {
  local label=$1 build=$2 objdump=$3 variant omitted want got headers
  local all="PXISA_Chassis_GetCount PXISA_Chassis_GetPCIRootBusNumber
    PXISA_PeripheralModule_GetCount PXISA_PeripheralModule_GetInformation
    PXISA_PeripheralModule_GetName PXISA_SystemModule_GetChassisEEPROM
    PXISA_SystemModule_GetCount PXISA_SystemModule_GetInformation PXISA_SystemModule_GetName
    PXISA_SystemModule_SMBusOperation"
  for variant in ztsimmod:"" ztsimmod_nosmbus:"SMBusOperation" \
    ztsimmod_nocount:"GetCount" ztsimmod_noname:"GetName" \
    ztsimmod_noinfo:"GetChassisEEPROM GetInformation GetPCIRootBusNumber" \
    ztsimmod_noeeprom:"GetChassisEEPROM" ztsimmod_nosysinfo:"SystemModule_GetInformation" \
    ztsimmod_nosmbus_noeeprom:"SMBusOperation GetChassisEEPROM" \
    ztsimmod_nosmbus_nosysinfo:"SMBusOperation SystemModule_GetInformation" \
    ztsimmod_nosmbus_noinfo:"SMBusOperation GetChassisEEPROM GetInformation GetPCIRootBusNumber" \
    ztsimmod_noname_noinfo:"GetName GetChassisEEPROM GetInformation GetPCIRootBusNumber"; do
    omitted=${variant#*:}
    variant=${variant%%:*}
    local dll=$build/simmodule/$variant.dll
    if [ ! -f "$dll" ]; then
      fail "$label: $dll does not exist (build it first)"
      continue
    fi
    want=$(for name in $all; do
      keep=1
      for suffix in $omitted; do case "$name" in *_"$suffix") keep=0 ;; esac; done
      [ $keep = 1 ] && echo "$name"
    done | sort | tr '\n' ' ')
    headers=$("$objdump" -p "$dll")
    got=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$headers" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' |
      tr -d '\r' | sort | tr '\n' ' ')
    if [ "$got" = "$want" ]; then
      pass "$label: $variant.dll exports $(wc -w <<<"$got") PXISA names undecorated"
    else
      fail "$label: $variant.dll exports '$got', expected '$want'"
    fi
    if sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | grep -qi 'libstdc\|libgcc\|winpthread'; then
      fail "$label: $variant.dll needs a compiler runtime DLL"
    fi
  done
}
check_simmodule "mingw x86-64" "$build64" x86_64-w64-mingw32-objdump
check_simmodule "mingw i686" "$build32" i686-w64-mingw32-objdump

if [ "$failures" -ne 0 ]; then
  echo "$failures PE checks failed"
  exit 1
fi
echo "all PE checks passed"
