#!/bin/bash
# ztrm-check.exe under Wine against the native ztrm-check: the same files
# (the samples of tests/check, a UTF-16 and a UTF-8-marked description, a
# missing file, a folder) named the same way give the same report, text and
# JSON, byte for byte apart from the console's CR LF line ends, and the same
# exit code. One warm prefix (wine_harness.sh); about 20 s.
#
#   tests/e2e/check_wine.sh MINGW_BUILD_DIR NATIVE_ZTRM_CHECK WORK_DIR
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 3 "MINGW_BUILD_DIR NATIVE_ZTRM_CHECK WORK_DIR" "$@"
native_check=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
wh_require "$1/ztrm-check.exe" "$1/ztrm-capture.exe"
wh_init wine-check "$1" "$3"

# The image: no registry keys, the files in C:\check.
image="$WH_STATE/image"
files="$image/drive_c/check"
mkdir -p "$files/folder.ini"
printf 'Windows Registry Editor Version 5.00\r\n\r\n' >"$image/registry.reg"
cp "$source_dir/tests/check/good.ini" "$source_dir/tests/check/faulty.ini" \
  "$source_dir/tests/check/unmatched.ini" "$files/"
perl -e 'local $/; my $t = <STDIN>; $t =~ s/Acme Instruments/Acme Instr\xFCments/;
         print "\xFF\xFE", join("", map { pack("v", ord) } split //, $t)' \
  <"$source_dir/tests/check/good.ini" >"$files/utf16.ini"
perl -pe 's/Acme Instruments/Acme Instr\xC3\xBCments/; s/^/\xEF\xBB\xBF/ if $. == 1' \
  <"$source_dir/tests/check/faulty.ini" >"$files/marked.ini"

wh_case_begin reports "$image" || wh_finish
cp "$WH_BUILD/ztrm-check.exe" "$WH_BUILD/ztrm-capture.exe" "$WINEPREFIX/drive_c/ztrm_bin/"
names=(good.ini faulty.ini unmatched.ini utf16.ini marked.ini missing.ini folder.ini)
for json in "" --json; do
  label="ztrm-check ${json:+$json }${names[*]}"
  (cd "$files" && "$native_check" $json "${names[@]}") >"$WH_STATE/native" 2>/dev/null
  native_status=$?
  (cd "$WINEPREFIX/drive_c/check" &&
    timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\ztrm-check.exe' $json "${names[@]}" </dev/null) \
    >"$WH_STATE/wine" 2>/dev/null
  wine_status=$?
  if [ "$wine_status" != "$native_status" ]; then
    wh_fail "$label: exit code $wine_status under Wine, $native_status natively"
  elif ! cmp -s <(wh_expected_crlf "$WH_STATE/native") "$WH_STATE/wine"; then
    wh_fail "$label: the reports differ"
    diff <(wh_expected_crlf "$WH_STATE/native") "$WH_STATE/wine" | head -20 | sed 's/^/     /'
  elif [ ! -s "$WH_STATE/native" ]; then
    wh_fail "$label: no report at all"
  else
    wh_pass "$label: the same report ($(wc -l <"$WH_STATE/native") lines), exit code $wine_status"
  fi
done
# --help of the two Windows tools: the same text as natively (ztrm-check) or
# its usage line first (ztrm-capture), exit code 0.
"$native_check" --help >"$WH_STATE/native"
timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\ztrm-check.exe' --help </dev/null >"$WH_STATE/wine" 2>/dev/null
status=$?
if [ "$status" = 0 ] && cmp -s <(wh_expected_crlf "$WH_STATE/native") "$WH_STATE/wine"; then
  wh_pass "ztrm-check.exe --help: the native text, exit code 0"
else
  wh_fail "ztrm-check.exe --help: exit code $status, or not the native text"
fi
timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\ztrm-capture.exe' --help </dev/null >"$WH_STATE/wine" 2>/dev/null
status=$?
if [ "$status" = 0 ] && head -1 "$WH_STATE/wine" | grep -q '^usage: ztrm-capture.exe DIR' &&
  grep -q '^Exit codes: 0 ' "$WH_STATE/wine"; then
  wh_pass "ztrm-capture.exe --help: its usage and exit codes, exit code 0"
else
  wh_fail "ztrm-capture.exe --help: exit code $status, or no usage"
fi
wh_case_end
wh_finish
