#!/bin/bash
# Runs the Win32 backend self-check (win32_backend_check.exe, which prints a
# PASS or FAIL line per check and exits 1 when one failed) and a quiet command
# of the service (an unknown option: no output, exit 0, c:\ZTLOG made) under
# Wine, in a prefix of the build folder (wine_harness.sh).
#
#   tests/e2e/win32_backend_check.sh BUILD_DIR     (a mingw x86-64 build folder)
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 1 BUILD_DIR "$@"
wh_require "$1/win32_backend_check.exe" "$1/win32_backend_check_vendor.dll" iconv
wh_init wine-backend-check "$1" "$1"

# The image: the check and its vendor module, and the key the registry checks
# read. The file is UTF-16LE with a byte order mark, as regedit exports it:
# only then are hex(1) and hex(2) bytes taken as UTF-16 data as written
# (regedit adds a 0 unit where the last one is not 0) rather than as ANSI
# text. hex(7) is REG_MULTI_SZ.
image="$WH_STATE/image"
mkdir -p "$image/drive_c/ztrm_bin"
cp "$WH_BUILD/win32_backend_check.exe" "$WH_BUILD/win32_backend_check_vendor.dll" "$image/drive_c/ztrm_bin/"
long_value=$(for i in $(seq 30); do printf '0123456789'; done)
long_name=$(printf 'z%.0s' $(seq 255))
key='HKEY_LOCAL_MACHINE\SOFTWARE\ZTRMBackendCheck'
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[%s]\r\n' "$key"
  printf '@="default value"\r\n'
  printf '"Text"="hello registry"\r\n'
  printf '"Long"="%s"\r\n' "$long_value"
  printf '"Number"=dword:0000002a\r\n'
  printf '"Expand"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,7a,00,74,00,72,00,6d,00,00,00\r\n'
  printf '"Unterminated"=hex(1):41,00,42,00\r\n'
  printf '"ManyNuls"=hex(1):41,00,42,00,00,00,00,00,00,00\r\n'
  printf '"Binary"=hex:2a,00,00,00\r\n'
  printf '"Multi"=hex(7):41,00,00,00,42,00,00,00,00,00\r\n'
  # Created out of order on purpose: the checks expect the registry's order.
  for sub in Zeta 9 alpha "$long_name" Beta 10; do
    printf '\r\n[%s\\%s]\r\n' "$key" "$sub"
  done
  printf '\r\n[%s\\alpha\\child]\r\n"Value"="x"\r\n' "$key"
} | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$image/registry.reg"

if wh_case_begin backend "$image"; then
  timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\win32_backend_check.exe' </dev/null
  status=$?
  if [ "$status" = 0 ]; then wh_pass "win32_backend_check.exe: all checks passed"; else wh_fail "win32_backend_check.exe: exit code $status"; fi
  # The start by hand (usage text, then the dispatcher's 1063) is checked by
  # the service command tests.
  wh_run "$WH_STATE/out" -nosuchoption
  wh_check_status "unknown option"
  wh_check_bytes "unknown option prints nothing" "$WH_STATE/out" ''
  wh_check_ztlog "unknown option"
fi
wh_case_end
wh_finish
