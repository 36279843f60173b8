#!/bin/bash
# Compares the native profile reading and writing with GetPrivateProfileStringW
# and WritePrivateProfileStringW under Wine, over the corpus in
# tests/profile_corpus.
#
#   tests/e2e/profile_compare.sh MINGW_BUILD_DIR NATIVE_BUILD_DIR
#
# The mingw build holds profile_probe.exe, the native build ztrm_tests (whose
# ProfileCorpus tests leave the native answers when ZTRM_PROFILE_ANSWERS_DIR
# is set). Checked:
#   1. Wine's answer to every query equals the answer queries.tsv expects;
#   2. the native answers equal Wine's, except the queries listed in
#      known_differences.tsv, which must still differ;
#   3. every file the writes of writes.tsv leave is byte for byte the same
#      under Wine, natively and in write_expected/, and the write calls return
#      the same results (write_results.tsv).
# The prefix (wine_harness.sh) lives in MINGW_BUILD_DIR/wine-profile-compare.
set -uo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$source_dir/tests/e2e/wine_harness.sh"  # shellcheck source=wine_harness.sh
wh_args 2 "MINGW_BUILD_DIR NATIVE_BUILD_DIR" "$@"
tests="$2/tests/ztrm_tests"
wh_require "$1/profile_probe.exe" "$tests" join comm
wh_init wine-profile-compare "$1" "$1"
corpus="$source_dir/tests/profile_corpus"
work="$WH_BUILD/profile-compare"
rm -rf "$work"
mkdir -p "$work/native" "$work/wine/writes"
WH_CASE=corpus

ZTRM_PROFILE_ANSWERS_DIR="$work/native" "$tests" --gtest_filter='ProfileCorpus.*' --gtest_brief=1 \
  > "$work/native/gtest.txt" 2>&1
if [ ! -f "$work/native/answers.txt" ] || [ ! -f "$work/native/write_results.txt" ]; then
  cat "$work/native/gtest.txt"
  echo "FAIL setup: the native corpus test left no answers"
  exit 1
fi

drive_c="$WINEPREFIX/drive_c"
cp -r "$corpus/files" "$drive_c/corpus"
cp -r "$corpus/write_seeds" "$drive_c/writes"
cp "$corpus/queries.tsv" "$corpus/writes.tsv" "$WH_BUILD/profile_probe.exe" "$drive_c/"
timeout "$WH_COMMAND_TIMEOUT" wine 'C:\profile_probe.exe' read 'C:\corpus' 'C:\queries.tsv' 'C:\answers.txt'
timeout "$WH_COMMAND_TIMEOUT" wine 'C:\profile_probe.exe' write 'C:\writes' 'C:\writes.tsv' 'C:\write_results.txt'
timeout 60 wineserver -w
cp "$drive_c/answers.txt" "$drive_c/write_results.txt" "$work/wine/"
cp "$drive_c"/writes/*.ini "$work/wine/writes/"

# 1. Wine against the answers queries.tsv expects (id<TAB>answer).
awk -F'\t' '!/^#/ && NF { print $1 "\t" $5 }' "$corpus/queries.tsv" >"$work/expected.txt"
if diff "$work/expected.txt" "$work/wine/answers.txt"; then
  wh_pass "Wine: $(wc -l <"$work/expected.txt") answers as expected"
else
  wh_fail "Wine's answers differ from queries.tsv (above)"
fi

# 2. The native answers against Wine's.
known=$(awk -F'\t' '!/^#/ && NF { print $1 }' "$corpus/known_differences.tsv" | sort)
differing=$(join -t $'\t' <(sort "$work/wine/answers.txt") <(sort "$work/native/answers.txt") |
  awk -F'\t' '$2 != $3 { print $1 }' | sort)
missing=$(comm -3 <(cut -f1 "$work/wine/answers.txt" | sort) <(cut -f1 "$work/native/answers.txt" | sort))
[ -z "$missing" ] || wh_fail "queries answered on one side only: $missing"
unknown=$(comm -13 <(printf '%s\n' "$known") <(printf '%s\n' "$differing") | sed '/^$/d')
stale=$(comm -23 <(printf '%s\n' "$known") <(printf '%s\n' "$differing") | sed '/^$/d')
answer() { awk -F'\t' -v id="$1" '$1 == id { print $2 }' "$2"; }
for id in $unknown; do
  wh_fail "$id: Wine '$(answer "$id" "$work/wine/answers.txt")'," \
    "native '$(answer "$id" "$work/native/answers.txt")'"
done
for id in $stale; do
  wh_fail "$id is listed as a known difference but the answers agree now"
done
if [ -z "$unknown" ] && [ -z "$stale" ] && [ -z "$missing" ]; then
  wh_pass "native answers equal Wine's ($(printf '%s\n' "$known" | sed '/^$/d' | wc -l) known differences)"
fi

# 3. The write calls' results, and the written files on both sides.
wh_compare "write results" "$work/wine/write_results.txt" "$work/native/write_results.txt" "Wine < > native"
for f in "$corpus"/write_expected/*; do
  for side in wine native; do
    wh_compare "$side wrote ${f##*/}" "$f" "$work/$side/writes/${f##*/}" "write_expected < > $side"
  done
done
for side in wine native; do
  extra=$(comm -13 <(ls "$corpus/write_expected") <(ls "$work/$side/writes") | sed '/^$/d')
  [ -z "$extra" ] || wh_fail "$side wrote files write_expected does not have: $extra"
done
wh_finish
