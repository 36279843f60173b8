#!/bin/bash
# The x64 installer package under Wine's msiexec, in one warm prefix
# (wine_harness.sh), each case from the demo system's known state:
#
#   install_takeover  "ZTRMService.exe -install" first (its service entry is
#                     the reference), then the package over it
#   install_upgrade   install with nothing configured, upgrade to a package of
#                     the next version, downgrade refused, uninstall
#   other_manager     another resource manager configured: left alone, no
#                     run; SETACTIVE=1 then makes this one the configured one
#   bad_input         binary configuration.ini, an older copy in the program
#                     folder, uninstall while a run is in progress
#
#   tests/e2e/msi_package.sh MINGW_BUILD_DIR WORK_DIR
#
# The packages are built here with packaging/build_msi.sh: the project's
# version, and the next patch version with ZTRMService.exe's version resource
# set to it. Needs wixl. Exit code 1 when a case fails.
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 2 "MINGW_BUILD_DIR WORK_DIR" "$@"
wh_require wixl python3

demo="$source_dir/examples/demo"
expected="$source_dir/tests/expected/demo"
wh_init wine-msi "$1" "$2"
drive_c="$WINEPREFIX/drive_c"
out="$WH_STATE/out"
program="$drive_c/Program Files/ZELTRO/ZTRM"
service_key='HKLM\System\CurrentControlSet\Services\ZTLRMService'
manager_key='HKLM\Software\PXISA\Services\Resource Managers\ZELTRO Technology'
config="$drive_c/ProgramData/PXISA/configuration.ini"
setup_log="$drive_c/ProgramData/ZELTRO/ZTRM/setup.log"
config_path='C:\ProgramData\PXISA\configuration.ini'

# --- the packages: this version (V1) and the next patch version (V2)
v1_full=$(sed -n 's/^project(ztrm VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
IFS=. read -r major minor patch _ <<<"$v1_full"
v1="$major.$minor.$patch"
v2="$major.$minor.$((patch + 1))"
v2_full="$v2.0"
packages="$WH_STATE/packages"
mkdir -p "$packages/v2bin"
# The version resource's VS_FIXEDFILEINFO (after its signature 0xFEEF04BD):
# file and product version words set to VERSION.
set_file_version() {
  perl -0777 -i -pe '
    my @v = split /\./, $ENV{VERSION};
    my $words = pack("V4", $v[0] << 16 | $v[1], $v[2] << 16 | $v[3], $v[0] << 16 | $v[1], $v[2] << 16 | $v[3]);
    my $n = s/(\xBD\x04\xEF\xFE.{4}).{16}/$1$words/gs;
    die "expected one version resource, found $n\n" unless $n == 1;' "$1"
}
cp "$WH_BUILD"/{ZTRMService.exe,ztrm-check.exe,ztrm-capture.exe,ztrm-setup.exe} "$packages/v2bin/"
if ! for f in "$packages"/v2bin/*.exe; do VERSION=$v2_full set_file_version "$f" || exit 1; done ||
   ! bash "$source_dir/packaging/build_msi.sh" x64 "$v1" "$WH_BUILD" "$packages/v1.msi" 2>"$out" ||
   ! bash "$source_dir/packaging/build_msi.sh" x64 "$v2" "$packages/v2bin" "$packages/v2.msi" 2>>"$out"; then
  echo "FAIL setup: the packages could not be built:"; sed 's/^/  /' "$out"
  exit 1
fi

# Begins case NAME on the demo, both packages and the simulated vendor module
# staged where msiexec and the demo's registry find them. MSI_CASES="a b"
# runs only the cases named.
msi_case() {
  if [ -n "${MSI_CASES:-}" ] && [[ " $MSI_CASES " != *" $1 "* ]]; then
    WH_CASE="$1 (not run)" WH_CASE_START_MS=$(wh_ms)
    return 1
  fi
  wh_case_begin "$1" "$demo" || return 1
  cp "$packages/v1.msi" "$packages/v2.msi" "$drive_c/"
  cp "$WH_BUILD/simmodule/ztsimmod.dll" "$drive_c/ZELTRO/SimModule/"
}
# msi_run LOG ARG...: msiexec ARG... /qn with a verbose log C:\LOG; exit code
# in MSI_STATUS. Exit code 1 is no installer's answer (those are 0, 3010 and
# the 16xx codes cut to 8 bits); Wine's msiexec gave it once on a loaded CI
# machine without running an action: it is explained and run once more.
msi_run() {
  local log=$1 started
  shift
  MSI_STATUS=0 MSI_LOG=$log started=$(wh_ms)
  timeout 180 wine msiexec "$@" /qn /l*v "C:\\$log" </dev/null >"$WH_STATE/msiexec.out" 2>&1 || MSI_STATUS=$?
  MSI_TOOK=$(($(wh_ms) - started))
  if [ "$MSI_STATUS" = 1 ] && [ -z "${MSI_RETRYING:-}" ]; then
    wh_note_retry "msiexec $* exited with 1"
    msi_explain
    MSI_RETRYING=1 msi_run "$log" "$@"
  fi
}
# The last msiexec's time, Wine's messages and the end of its verbose log.
msi_explain() {
  echo "   msiexec took $(wh_seconds "$MSI_TOOK") and said (Wine's fixme lines left out):"
  { grep -a -v ':fixme:' "$WH_STATE/msiexec.out" | tail -n 20
    echo "C:\\$MSI_LOG ends:"; tail -n 25 "$drive_c/$MSI_LOG" 2>&1; } | tr -d '\r' | sed 's/^/     /'
}
msi_check() {
  if [ "$MSI_STATUS" = "$2" ]; then wh_pass "$1: msiexec exit code $2"; else wh_fail "$1: msiexec exit code $MSI_STATUS, expected $2"; msi_explain; fi
}

# A key's listing; nothing when it is missing (reg prints its error on stdout).
reg_query() {
  local listing
  listing=$(timeout 60 wine reg query "$1" </dev/null 2>/dev/null) && printf '%s\n' "$listing" | tr -d '\r'
}
check_running() {
  if wh_service_is RUNNING; then wh_pass "$1: the service is running"; else wh_fail "$1: the service is \"$(wh_service_state)\", not RUNNING"; fi
}
# The service gone: sc query fails (Wine's sc prints nothing) and its key is gone.
check_service_gone() {
  if wh_sc query ZTLRMService; then
    wh_fail "$1: sc query still finds the service"
  elif [ -n "$(reg_query "$service_key")" ]; then
    wh_fail "$1: the service key is still there"
  else
    wh_pass "$1: the service is gone (sc query fails, no service key)"
  fi
}
# Installed products of the package's name, as "DisplayVersion" values.
installed_versions() {
  timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null |
    tr -d '\r' | perl -ne '
      if (/^HKEY/) { $ours = 0 } 
      $ours = 1 if /^\s+DisplayName\s+REG_SZ\s+ZELTRO PXI Resource Manager \(x64\)$/;
      $version{$key} = $1 if /^\s+DisplayVersion\s+REG_SZ\s+(\S+)$/;
      $key = $_ if /^HKEY/; $mine{$key} = 1 if $ours;
      END { print join(" ", sort map { $version{$_} } grep { $mine{$_} } keys %mine), "\n" }'
}
check_installed() {
  local got
  got=$(installed_versions)
  if [ "$got" = "$2" ]; then wh_pass "$1: ${2:+one product installed, version }${2:-no product installed}"; else wh_fail "$1: installed versions \"$got\", expected \"$2\""; fi
}
# The demo's expected system file, Timestamp masked and the version VERSION.
# (The files are kept with LF line ends; the service writes CR LF.)
expected_file() {
  perl -pe 's/\r?\n/\r\n/' "$expected/$1" >"$WH_STATE/expected.crlf"
  wh_mask_system_file "$WH_STATE/expected.crlf" | perl -pe "s/^Version = \"\\Q$v1_full\\E\"/Version = \"$2\"/"
}
file_is_expected() { cmp -s <(wh_mask_system_file "$drive_c/windows/$1") <(expected_file "$1" "$2"); }
# Waits for both system files of a finished run of VERSION, then compares.
check_system_files() {
  local label=$1 version=$2 f
  wh_wait_until 60 eval 'file_is_expected pxisys.ini "$version" && file_is_expected pxiesys.ini "$version"'
  for f in pxisys.ini pxiesys.ini; do
    wh_compare "$label: $f (time stamp masked)" <(expected_file $f "$version") \
      <(wh_mask_system_file "$drive_c/windows/$f") "expected < > Wine"
  done
}
# The setup log with its time stamps masked.
check_setup_log() {
  local label=$1 want=$2
  if cmp -s <(printf '%s\n' "$want") <(perl -pe 's/^\[[0-9-]+ [0-9:]+\] /[TIME] /' "$setup_log" 2>/dev/null); then
    wh_pass "$label: setup.log as expected"
  else
    wh_fail "$label: setup.log holds:"; sed 's/^/     /' "$setup_log" 2>/dev/null; echo "   expected:"; printf '%s\n' "$want" | sed 's/^/     /'
  fi
}
log_line() { printf '[TIME] ztrm-setup %s %s: %s\r\n' "$1" "$2" "$3"; }
check_program_files() {
  local label=$1 bin=$2 f missing=""
  for f in ZTRMService.exe ztrm-check.exe ztrm-capture.exe ztrm-setup.exe; do
    cmp -s "$bin/$f" "$program/$f" || missing="$missing $f"
  done
  for f in README.txt INSTALLING.txt; do [ -s "$program/$f" ] || missing="$missing $f"; done
  if [ -z "$missing" ]; then wh_pass "$label: the program folder holds the package's files"; else wh_fail "$label: not the package's:$missing"; fi
}

# --- "-install" first: its service entry is the reference; the package takes
# the service over (the entry is made again, with the installed executable)
reference="$WH_STATE/service_by_command"
if msi_case install_takeover; then
  wh_run "$out" -install && wh_check_bytes "-install" "$out" 'ZTLRMService is installed.\r\n'
  reg_query "$service_key" >"$reference"
  msi_run install.log /i 'C:\v1.msi'
  msi_check "install over -install" 0
  image_path=$(reg_query "$service_key" | sed -n 's/^ *ImagePath *REG_SZ *//p')
  if [ "$image_path" = 'C:\Program Files\ZELTRO\ZTRM\ZTRMService.exe' ]; then
    wh_pass "install over -install: the service runs the installed executable"
  else
    wh_fail "install over -install: ImagePath is \"$image_path\""
  fi
  check_running "install over -install"
  check_setup_log "install over -install" "$(log_line "$v1_full" install "this resource manager is already the configured one in $config_path; not changed")"
  check_system_files "install over -install" "$v1_full"
fi
wh_case_end

# --- install with no resource manager configured, upgrade, downgrade refused,
# uninstall
if msi_case install_upgrade; then
  rm -f "$config"
  msi_run install.log /i 'C:\v1.msi'
  msi_check "install" 0
  # Value by value as "-install" makes them; only the image path differs.
  # Wine adds PreshutdownTimeout to both alike.
  wh_compare "install: service key values but ImagePath" <(grep -v ImagePath "$reference") \
    <(reg_query "$service_key" | grep -v ImagePath) "-install < > package"
  check_running "install"
  wh_compare "install: resource manager registration" \
    <(printf '\n%s\n    PXI-2Version    REG_DWORD    0x20004\n    PXI-4Version    REG_DWORD    0x0\n    PXI-6Version    REG_DWORD    0x10002\n\n' \
        'HKEY_LOCAL_MACHINE\Software\PXISA\Services\Resource Managers\ZELTRO Technology') \
    <(reg_query "$manager_key") "expected < > Wine"
  wh_check_bytes "install: configured, as none was" "$config" '[ResourceManager]\r\nName=ZELTRO Technology\r\n'
  check_program_files "install" "$WH_BUILD"
  check_installed "install" "$v1"
  check_system_files "install" "$v1_full"
  cp "$drive_c/ZELTRO/PXI/ChassisMappingID.ini" "$WH_STATE/mapping.ini"

  msi_run upgrade.log /i 'C:\v2.msi'
  msi_check "upgrade to $v2" 0
  check_installed "upgrade" "$v2"
  check_running "upgrade"
  check_program_files "upgrade" "$packages/v2bin"
  check_system_files "upgrade: the new version's run" "$v2_full"
  wh_compare "upgrade: ChassisMappingID.ini unchanged" "$WH_STATE/mapping.ini" "$drive_c/ZELTRO/PXI/ChassisMappingID.ini" "before < > after"

  msi_run downgrade.log /i 'C:\v1.msi'
  # Refused by the launch condition on WIX_DOWNGRADE_DETECTED (its message
  # is checked in the package's tables: Wine's log does not show it). Wine's
  # exit code is 1603 cut to 8 bits (67).
  if [ "$MSI_STATUS" != 0 ] && grep -a -q '^Property(S): WIX_DOWNGRADE_DETECTED = {' "$drive_c/downgrade.log"; then
    wh_pass "downgrade to $v1 refused (exit code $MSI_STATUS, a newer version detected)"
  else
    wh_fail "downgrade to $v1: exit code $MSI_STATUS, or no newer version detected in the log"
    msi_explain
  fi
  check_installed "after the refused downgrade" "$v2"

  for f in pxisys.ini pxiesys.ini ztbuslist.dat; do wh_mask_system_file "$drive_c/windows/$f" >"$WH_STATE/kept.$f"; done
  msi_run uninstall.log /x 'C:\v2.msi'
  msi_check "uninstall" 0
  check_service_gone "uninstall"
  if [ -e "$program" ] || [ -n "$(reg_query "$manager_key")" ]; then
    wh_fail "uninstall: the program folder or the registration is left"
  else
    wh_pass "uninstall: the program folder and the registration are gone"
  fi
  check_installed "uninstall" ""
  wh_check_bytes "uninstall: the configured name cleared" "$config" '[ResourceManager]\r\nName=\r\n'
  for f in pxisys.ini pxiesys.ini ztbuslist.dat; do
    wh_compare "uninstall: $f kept" "$WH_STATE/kept.$f" <(wh_mask_system_file "$drive_c/windows/$f") "before < > after"
  done
  wh_compare "uninstall: ChassisMappingID.ini kept" "$WH_STATE/mapping.ini" "$drive_c/ZELTRO/PXI/ChassisMappingID.ini" "before < > after"
  if perl -0777 -ne 'exit !/SERVICE STOPED\r\r\n\z/' "$drive_c/windows/pxirms.log" 2>/dev/null; then wh_pass "uninstall: pxirms.log ends with the stop line"; else wh_fail "uninstall: pxirms.log does not end with the stop line"; fi
  check_setup_log "install, upgrade, uninstall" "$(
    log_line "$v1_full" install "configured this resource manager in $config_path (none was configured)"
    # Wine's msiexec removes the old version without UPGRADINGPRODUCTCODE,
    # so its uninstall step clears the name and the new version's install
    # step sets it again (Windows skips the old version's step); the file
    # ends the same either way.
    log_line "$v1_full" uninstall "cleared [ResourceManager] Name in $config_path (it named this resource manager)"
    log_line "$v2_full" install "configured this resource manager in $config_path (none was configured)"
    log_line "$v2_full" uninstall "cleared [ResourceManager] Name in $config_path (it named this resource manager)")"
fi
wh_case_end

# --- another resource manager configured: left as it is, no run; then
# SETACTIVE=1 on the installed package
if msi_case other_manager; then
  wh_configure_manager "Another Vendor"
  msi_run install.log /i 'C:\v1.msi'
  msi_check "install" 0
  check_running "install"
  wh_check_bytes "install: the other manager left as it was" "$config" '[ResourceManager]\r\nName = "Another Vendor"\r\n'
  sleep 5  # two polls of the service
  if [ -e "$drive_c/windows/pxirms.log" ]; then wh_fail "install: a run took place (pxirms.log written)"; else wh_pass "install: no run (no pxirms.log)"; fi
  msi_run active.log /i 'C:\v1.msi' SETACTIVE=1
  msi_check "SETACTIVE=1 on the installed package" 0
  check_installed "SETACTIVE=1" "$v1"
  wh_check_bytes "SETACTIVE=1: this manager configured" "$config" '[ResourceManager]\r\nName=ZELTRO Technology\r\n'
  check_system_files "SETACTIVE=1: the run" "$v1_full"
  check_setup_log "other manager" "$(
    log_line "$v1_full" install "another resource manager is configured in $config_path (\"Another Vendor\"); left as it is: to switch, set [ResourceManager] Name = \"ZELTRO Technology\" there or install with SETACTIVE=1"
    log_line "$v1_full" install-active "configured this resource manager in $config_path in place of \"Another Vendor\" (SETACTIVE=1)")"
fi
wh_case_end

# --- binary configuration.ini, an older copy in the program folder, and an
# uninstall while a run holds its files
if msi_case bad_input; then
  printf 'Name\000\001\002 = ZELTRO Technology\r\n' >"$config"
  cp "$config" "$WH_STATE/junk.ini"
  mkdir -p "$program"
  cp "$WH_BUILD/ZTRMService.exe" "$program/"
  VERSION=0.9.0.0 set_file_version "$program/ZTRMService.exe"
  { cat "$WH_BUILD/ztrm-check.exe"; printf 'hand-made copy'; } >"$program/ztrm-check.exe"
  printf 'notes of the manual copy\r\n' >"$program/notes.txt"
  msi_run install.log /i 'C:\v1.msi'
  msi_check "install" 0
  wh_compare "install: binary configuration.ini left as it was" "$WH_STATE/junk.ini" "$config" "before < > after"
  check_program_files "install over an older copy" "$WH_BUILD"
  check_running "install"
  check_setup_log "binary configuration" "$(log_line "$v1_full" install "$config_path holds binary data, not profile text; left as it is (this resource manager is not configured; replace the file by hand)")"

  # A run that holds its files for 10 s (the simulated module's first
  # GetCount waits), started by configuring this manager by hand.
  perl -0777 -i -pe 's/\[SystemModule\]\r?\n/[SystemModule]\r\nCountDelayMs = 10000\r\n/' "$drive_c/ZELTRO/SimModule/ztsimmod.ini"
  wh_configure_manager "ZELTRO Technology"
  if wh_wait_until 20 test -e "$drive_c/windows/pxirms.log"; then
    start=$(wh_ms)
    msi_run uninstall.log /x 'C:\v1.msi'
    msi_check "uninstall during a run" 0
    # The run holds its files for 10 s: an uninstall that took less did not
    # wait for the service to stop.
    took=$(($(wh_ms) - start))
    if [ "$took" -ge 5000 ]; then
      wh_pass "uninstall during a run: waited for the stop ($(wh_seconds "$took"))"
    else
      wh_fail "uninstall during a run: msiexec /x took $(wh_seconds "$took"), without waiting for the run"
    fi
    check_service_gone "uninstall during a run"
    check_system_files "uninstall during a run: the run completed" "$v1_full"
    # The stop came while the run held the log, so no stop line follows it;
    # the run's last line is the demo log's last line.
    last_line=$(tail -n 1 "$expected/pxirms.log")
    if LAST="$last_line" perl -0777 -ne '$s = () = /SERVICE START\r\r\n/g; $q = () = /Query Finished\.\r\r\n/g;
         exit !($s == 1 && $q == 1 && /\n\Q$ENV{LAST}\E\n\z/ && !/SERVICE STOPED/)' "$drive_c/windows/pxirms.log"; then
      wh_pass "uninstall during a run: the log holds the one whole run"
    else
      wh_fail "uninstall during a run: pxirms.log is not the one whole run:"
      tail -c 200 "$drive_c/windows/pxirms.log" | od -An -c | sed 's/^/     /'
    fi
  else
    wh_fail "no run started after configuring this manager"
  fi
  if [ "$(ls "$program" 2>/dev/null)" = notes.txt ]; then
    wh_pass "uninstall: the manual copy's own file is kept, the package's files are gone"
  else
    wh_fail "uninstall: the program folder holds: $(ls "$program" 2>/dev/null | tr '\n' ' ')"
  fi
fi
wh_case_end

wh_finish
