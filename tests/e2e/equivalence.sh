#!/bin/bash
# The proof that the native platform behaves as Windows does: each system
# image is run once natively by ztrm-sim and once under Wine by
# `ZTRMService.exe -startonce`, and pxirms.log, pxisys.ini and pxiesys.ini of
# the two must be byte-identical apart from
#   - the run's time stamp line "[YYYY-MM-DD_hh:mm:ss.mmm]  " of the log and
#     the "Timestamp = ..." lines of the two system files (the clocks differ);
#   - the two host lines of the log: natively the image's BIOS registry values
#     ("N/A" when absent), under Wine what Wine's WMI answers (the machine's
#     SMBIOS maker and model, "The Wine Project" and "Wine" without them),
#     each checked for its own value;
#   - the stop line: under Wine the service is stopped after its run, so the
#     log must end in exactly one "SERVICE STOPED" CR CR LF after the run,
#     which ztrm-sim (no service, no stop) does not write.
# ztbuslist.dat is compared too, byte for byte, when the image configures the
# simulated resource driver (the harness then starts it under Wine).
#
# An image folder with a make.sh (the hostile-system cases) is built by it
# first, on the staged copy.
#
#   tests/e2e/equivalence.sh MINGW_BUILD_DIR ZTRM_SIM WORK_DIR IMAGE...
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 4+ "MINGW_BUILD_DIR ZTRM_SIM WORK_DIR IMAGE..." "$@"
build=$1
sim=$2
wh_require "$sim"
wh_init wine-equivalence "$build" "$3"
shift 3
native_root="$WH_STATE/native"

# What Wine's WMI reports for Win32_ComputerSystem: the SMBIOS system maker
# and product from the Linux side, or Wine's own names without them.
dmi_value() {
  local value=""
  if [ -r "/sys/class/dmi/id/$1" ]; then
    value=$(tr -d '\0' <"/sys/class/dmi/id/$1" | sed 's/[[:space:]]*$//; s/^[[:space:]]*//')
  fi
  if [ -n "$value" ]; then printf '%s' "$value"; else printf '%s' "$2"; fi
}
wine_maker=$(dmi_value sys_vendor "The Wine Project")
wine_model=$(dmi_value product_name "Wine")

# The image's BIOS registry value NAME as the native platform reads it and
# logs it: the file decoded as regedit decodes it (UTF-16LE after FF FE,
# otherwise Windows-1252, one character a byte, so the bytes stand as they
# are; nothing read without a header line), then written in Windows-1252 as
# the log is (a character 1252 lacks as "?": the best-fit letters of the
# log's own conversion are left out, these values being 1252 text).
registry_bios_value() {
  perl -e '
    use Encode ();
    my ($want, $file) = @ARGV;
    my $found;
    if (open(my $f, "<:raw", $file)) {
      local $/;
      my $bytes = <$f> // "";
      my $unicode = $bytes =~ s/^\xFF\xFE//;
      my $text = $unicode ? Encode::decode("UTF-16LE", $bytes) : $bytes;
      my @lines = split /\r\n|\r|\n/, $text;
      my $header = shift(@lines) // "";
      $header =~ s/^[ \t]+//;
      my $in;
      if ($header eq "Windows Registry Editor Version 5.00" || $header eq "REGEDIT4") {
        for (@lines) {
          if (/^[ \t]*\[(.*)\]/) { $in = lc($1) eq lc("HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS"); next }
          if ($in && /^[ \t]*"\Q$want\E"[ \t]*=[ \t]*"((?:[^"\\]|\\.)*)"[ \t]*$/i) {
            ($found = $1) =~ s/\\(.)/$1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1/ge;
          }
        }
      }
      if (defined $found && $unicode) {
        $found = join "", map {
          my $u = ord;
          $u < 0x80 || ($u >= 0xA0 && $u < 0x100) || $u == 0x81 || $u == 0x8D || $u == 0x8F ||
            $u == 0x90 || $u == 0x9D ? chr($u) : Encode::encode("cp1252", $_)
        } split //, $found;
      }
    }
    print defined $found ? $found : "N/A";' "$1" "$2"
}

# The file with its time-dependent lines replaced by a marker. For the log
# also checks the host lines against MAKER and MODEL and takes them out.
mask_log() {
  wh_mask_log "$1" | MAKER=$2 MODEL=$3 perl -0777 -pe '
    s/^Current System Manufacturer Name = \Q$ENV{MAKER}\E\.\r\r\n/[MAKER]\r\n/m or die "manufacturer line is not \"$ENV{MAKER}\"\n";
    s/^Current System Model Name = \Q$ENV{MODEL}\E\.\r\r\n/[MODEL]\r\n/m or die "model line is not \"$ENV{MODEL}\"\n";'
}
stop_holder() {
  [ -z "$holder_pid" ] || { kill "$holder_pid" && wait "$holder_pid"; } 2>/dev/null
  holder_pid=""
}

for image in "$@"; do
  image=$(cd "$image" && pwd)
  name=$(basename "$image")
  WH_CASE=$name
  # Both builds of the simulated vendor module beside its configuration: the
  # native run loads the .so, the Wine run the .dll.
  staged="$WH_STATE/staged/$name"
  rm -rf "$staged"
  mkdir -p "$WH_STATE/staged"
  cp -r "$image" "$staged"
  # A hostile-system case builds its image with make.sh (tests/hostile).
  if [ -f "$image/make.sh" ]; then
    if ! bash "$image/make.sh" "$staged" >/dev/null; then
      wh_fail "make.sh failed for $image"
      continue
    fi
  fi
  "$source_dir/simmodule/install_into_image.sh" "$staged" "$(dirname "$sim")" "$build"
  image=$staged
  native_image="$native_root/$name"
  rm -rf "$native_image"
  mkdir -p "$native_root"
  cp -r "$image" "$native_image"
  # "hold: NAME" (tests/hostile): another program keeps C:\windows\NAME open
  # for reading during the run, on both sides.
  hold=$(sed -n 's/^hold: \([^\r]*\)\r\{0,1\}$/\1/p' "$image/case.txt" 2>/dev/null)
  holder_pid=""
  if [ -n "$hold" ]; then
    rm -f "$WH_STATE/hold.ready"
    "$(dirname "$sim")/ztrm-hold" "$native_image" "C:\\windows\\$hold" "$WH_STATE/hold.ready" &
    holder_pid=$!
    wh_wait_until 30 test -e "$WH_STATE/hold.ready" || wh_fail "ztrm-hold could not hold $hold"
  fi
  if ! timeout 300 "$sim" "$native_image" >/dev/null; then
    wh_fail "ztrm-sim failed on $image"
    stop_holder
    continue
  fi
  stop_holder
  native_out="$native_image/drive_c/windows"

  if wh_case_begin "$name" "$image"; then
    if [ -n "$hold" ]; then
      rm -f "$WINEPREFIX/drive_c/ztrm_hold_ready"
      wine 'C:\ztrm_bin\ztrm_wine_idle.exe' 'C:\ztrm_hold_ready' "C:\\windows\\$hold" </dev/null >/dev/null 2>&1 &
      holder_pid=$!
      wh_wait_until 30 test -e "$WINEPREFIX/drive_c/ztrm_hold_ready" || wh_fail "the Wine holder could not hold $hold"
      rm -f "$WINEPREFIX/drive_c/ztrm_hold_ready"
    fi
    wh_run "$WH_STATE/console" -startonce
    wh_check_status "-startonce"
    stop_holder
  fi
  wh_case_end
  wine_out="$WINEPREFIX/drive_c/windows"
  wine_log="$WH_STATE/$name.wine.log"
  wh_strip_stop_line "$wine_out/pxirms.log" "$wine_log"
  native_maker=$(registry_bios_value SystemManufacturer "$image/registry.reg")
  native_model=$(registry_bios_value SystemProductName "$image/registry.reg")
  if mask_log "$native_out/pxirms.log" "$native_maker" "$native_model" >"$WH_STATE/native.log" &&
    mask_log "$wine_log" "$wine_maker" "$wine_model" >"$WH_STATE/wine.log"; then
    wh_pass "host lines: native \"$native_maker\" / \"$native_model\", Wine \"$wine_maker\" / \"$wine_model\""
    wh_compare "pxirms.log" "$WH_STATE/native.log" "$WH_STATE/wine.log" "native < > Wine"
  else
    wh_fail "pxirms.log: time stamp or host lines not as expected"
  fi
  for file in pxisys.ini pxiesys.ini; do
    wh_compare_masked "$file" "$native_out/$file" "$wine_out/$file" "native < > Wine"
  done
  # The chassis ID table where the image keeps one, the root bus list where it
  # has the resource driver: written by both sides or by neither.
  for file in ZELTRO/PXI/ChassisMappingID.ini windows/ztbuslist.dat; do
    if [ -f "$native_image/drive_c/$file" ] || [ -f "$WINEPREFIX/drive_c/$file" ]; then
      wh_compare "${file##*/}" "$native_image/drive_c/$file" "$WINEPREFIX/drive_c/$file" "native < > Wine"
    else
      wh_pass "${file##*/} written by neither"
    fi
  done
done
rm -rf "$native_root"

wh_finish
