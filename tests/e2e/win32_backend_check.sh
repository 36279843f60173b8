#!/bin/bash
# Runs the Win32 backend self-check (win32_backend_check.exe) and a quiet
# command of the service (an unknown option: no output, c:\ZTLOG made) under
# Wine, in a fresh prefix inside the build folder.
#
#   tests/e2e/win32_backend_check.sh BUILD_DIR     (a mingw x86-64 build folder)
#
# Exit code: that of win32_backend_check.exe, or 1 when the service check or
# the setup fails. The prefix (about 700 MB) is removed after a passing run and
# kept after a failing one, or always with KEEP_WINEPREFIX=1.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
for f in win32_backend_check.exe win32_backend_check_vendor.dll ZTRMService.exe; do
  if [ ! -f "$build/$f" ]; then
    echo "FAIL setup: $build/$f is missing (build the mingw x86-64 targets first)" >&2
    exit 1
  fi
done

start_ns=$(date +%s%N)
export WINEPREFIX="$build/wine-backend-check"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their install prompts would
# stall an unattended run.
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Ends this prefix's Wine server (and with it the session) however we leave.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

wine wineboot -i >/dev/null 2>&1
wineserver -w
boot_ms=$((($(date +%s%N) - start_ns) / 1000000))

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/ztrm_bin"
cp "$build/win32_backend_check.exe" "$build/win32_backend_check_vendor.dll" \
  "$build/ZTRMService.exe" "$drive_c/ztrm_bin/"

# The key the registry checks read. The file is UTF-16LE with a byte order mark,
# as regedit exports it: only then are hex(1) and hex(2) bytes taken as UTF-16
# data as written (regedit adds a 0 unit where the last one is not 0) rather
# than as ANSI text. hex(7) is REG_MULTI_SZ.
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
} | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } > "$drive_c/ztrm_check.reg"
wine regedit /S 'C:\ztrm_check.reg'

echo "== win32_backend_check.exe"
status=0
check_start_ns=$(date +%s%N)
wine 'C:\ztrm_bin\win32_backend_check.exe' || status=$?
check_ms=$((($(date +%s%N) - check_start_ns) / 1000000))

echo "== ZTRMService.exe"
service_status=0
# An option word the program does not know prints nothing and exits 0; the
# start by hand (usage text, then the dispatcher's 1063) is checked by the
# service command tests.
code=0
actual=$(wine 'C:\ztrm_bin\ZTRMService.exe' -nosuchoption | od -An -c) || code=$?
if [ "$code" -eq 0 ] && [ -z "$actual" ]; then
  echo "PASS service: unknown option prints nothing, exit 0"
else
  echo "FAIL service: unknown option (exit $code); bytes:"
  echo "$actual"
  service_status=1
fi
if [ -d "$drive_c/ZTLOG" ] || [ -d "$drive_c/ztlog" ]; then
  echo "PASS service: c:\\ZTLOG created"
else
  echo "FAIL service: c:\\ZTLOG was not created"
  service_status=1
fi

seconds() { printf '%d.%01d s' $(($1 / 1000)) $(($1 % 1000 / 100)); }
elapsed_ms=$((($(date +%s%N) - start_ns) / 1000000))
echo "== done in $(seconds $elapsed_ms) (new prefix $(seconds $boot_ms)," \
  "backend check $(seconds $check_ms)); backend check exit $status," \
  "service check exit $service_status"

wineserver -k >/dev/null 2>&1 || true
if [ "$status" -eq 0 ] && [ "$service_status" -eq 0 ] && [ "${KEEP_WINEPREFIX:-0}" != 1 ]; then
  rm -rf "$WINEPREFIX"
else
  echo "Wine prefix kept: $WINEPREFIX"
fi
if [ "$status" -ne 0 ]; then exit "$status"; fi
exit "$service_status"
