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
# Exit code 0 when all hold, 1 otherwise, 2 on bad arguments. The prefix lives
# in MINGW_BUILD_DIR/wine-profile-compare and is removed after a passing run
# (kept with KEEP_WINEPREFIX=1).
set -euo pipefail
export LC_ALL=C

if [ $# -ne 2 ]; then
  echo "usage: $0 MINGW_BUILD_DIR NATIVE_BUILD_DIR" >&2
  exit 2
fi
mingw=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
corpus="$source_dir/tests/profile_corpus"
probe="$mingw/profile_probe.exe"
tests="$native/tests/ztrm_tests"
for f in "$probe" "$tests"; do
  if [ ! -f "$f" ]; then
    echo "FAIL setup: $f is missing (build both trees first)" >&2
    exit 1
  fi
done

work="$mingw/profile-compare"
rm -rf "$work"
mkdir -p "$work/native" "$work/wine/writes"

echo "== native answers"
ZTRM_PROFILE_ANSWERS_DIR="$work/native" "$tests" --gtest_filter='ProfileCorpus.*' --gtest_brief=1 \
  > "$work/native/gtest.txt" 2>&1 || true
if [ ! -f "$work/native/answers.txt" ] || [ ! -f "$work/native/write_results.txt" ]; then
  cat "$work/native/gtest.txt"
  echo "FAIL setup: the native corpus test left no answers" >&2
  exit 1
fi

echo "== Wine answers"
export WINEPREFIX="$mingw/wine-profile-compare"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine wineboot -i >/dev/null 2>&1
wineserver -w
drive_c="$WINEPREFIX/drive_c"
cp -r "$corpus/files" "$drive_c/corpus"
mkdir -p "$drive_c/writes"
cp "$corpus"/write_seeds/* "$drive_c/writes/"
cp "$corpus/queries.tsv" "$corpus/writes.tsv" "$probe" "$drive_c/"
wine 'C:\profile_probe.exe' read 'C:\corpus' 'C:\queries.tsv' 'C:\answers.txt'
wine 'C:\profile_probe.exe' write 'C:\writes' 'C:\writes.tsv' 'C:\write_results.txt'
wineserver -w
cp "$drive_c/answers.txt" "$drive_c/write_results.txt" "$work/wine/"
cp "$drive_c"/writes/*.ini "$work/wine/writes/"

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

echo "== 1. Wine against the expected answers"
# id<TAB>answer of every query, as queries.tsv expects it.
awk -F'\t' '!/^#/ && NF { print $1 "\t" $5 }' "$corpus/queries.tsv" > "$work/expected.txt"
if diff "$work/expected.txt" "$work/wine/answers.txt" > "$work/expected_vs_wine.diff"; then
  echo "PASS $(wc -l < "$work/expected.txt") answers as expected"
else
  fail "Wine's answers differ from queries.tsv:"
  cat "$work/expected_vs_wine.diff"
fi

echo "== 2. native against Wine"
known=$(awk -F'\t' '!/^#/ && NF { print $1 }' "$corpus/known_differences.tsv" | sort)
differing=$(join -t $'\t' <(sort "$work/wine/answers.txt") <(sort "$work/native/answers.txt") |
  awk -F'\t' '$2 != $3 { print $1 }' | sort)
missing=$(comm -3 <(cut -f1 "$work/wine/answers.txt" | sort) <(cut -f1 "$work/native/answers.txt" | sort))
if [ -n "$missing" ]; then
  fail "queries answered on one side only: $missing"
fi
unknown=$(comm -13 <(printf '%s\n' "$known") <(printf '%s\n' "$differing") | sed '/^$/d')
stale=$(comm -23 <(printf '%s\n' "$known") <(printf '%s\n' "$differing") | sed '/^$/d')
answer() { awk -F'\t' -v id="$1" '$1 == id { print $2 }' "$2"; }
for id in $unknown; do
  fail "$id: Wine '$(answer "$id" "$work/wine/answers.txt")'," \
    "native '$(answer "$id" "$work/native/answers.txt")'"
done
for id in $stale; do
  fail "$id is listed as a known difference but the answers agree now"
done
if [ -z "$unknown" ] && [ -z "$stale" ] && [ -z "$missing" ]; then
  echo "PASS native answers equal Wine's ($(printf '%s\n' "$known" | sed '/^$/d' | wc -l) known differences)"
fi

echo "== 3. written files"
failures_before_writes=$failures
if cmp -s "$work/wine/write_results.txt" "$work/native/write_results.txt"; then
  echo "PASS write results agree"
else
  fail "write results differ:"
  diff "$work/wine/write_results.txt" "$work/native/write_results.txt" || true
fi
for f in "$corpus"/write_expected/*; do
  name=$(basename "$f")
  for side in wine native; do
    if ! cmp -s "$f" "$work/$side/writes/$name"; then
      fail "$name: $side wrote other bytes than write_expected/$name"
      cmp "$f" "$work/$side/writes/$name" || true
    fi
  done
done
for side in wine native; do
  extra=$(comm -13 <(ls "$corpus/write_expected") <(ls "$work/$side/writes") | sed '/^$/d')
  [ -z "$extra" ] || fail "$side wrote files write_expected does not have: $extra"
done
[ "$failures" -ne "$failures_before_writes" ] || echo "PASS $(ls "$corpus/write_expected" | wc -l) written files agree byte for byte"

wineserver -k >/dev/null 2>&1 || true
if [ "$failures" -eq 0 ] && [ "${KEEP_WINEPREFIX:-0}" != 1 ]; then
  rm -rf "$WINEPREFIX"
else
  echo "Wine prefix kept: $WINEPREFIX; answers in $work"
fi
if [ "$failures" -ne 0 ]; then
  echo "== $failures failures"
  exit 1
fi
echo "== all agree"
