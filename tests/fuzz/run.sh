#!/bin/bash
# Runs the libFuzzer targets of the fuzz preset, each on its corpus, for as
# long as asked, and says per target how many inputs it ran, the coverage it
# reached and whether it crashed.
#
#   tests/fuzz/run.sh [-p PARALLEL] SECONDS [TARGET...]
#
# All targets when none is named. The working corpus of each lives in
# build/fuzz/corpus/TARGET; on first use it is seeded
# from the test fixtures (description files, profile corpus files, registry
# exports, simulated module configurations). A crash leaves its input in
# build/fuzz/artifacts/TARGET/ and makes the script fail: turn it into a
# regression test of the ordinary suite. Logs: build/fuzz/logs/TARGET.log.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build="$source_dir/build/fuzz"
parallel=1
if [ "${1:-}" = "-p" ]; then parallel=$2; shift 2; fi
if [ $# -lt 1 ]; then
  echo "usage: $0 [-p PARALLEL] SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(profile_text_fuzz text_line_reader_fuzz description_parser_fuzz reg_file_fuzz
           module_discovery_fuzz driver_answers_fuzz system_view_fuzz)
fi

# Fixture files that seed each target.
seeds() {
  cd "$source_dir" || return
  local ini reg
  ini=$(find examples tests/e2e/images tests/hostile -iname '*.ini' -type f 2>/dev/null |
        grep -vi -e ztsimmod.ini -e configuration.ini)
  reg=$(find examples tests/e2e/images tests/hostile -name registry.reg -type f 2>/dev/null)
  case $1 in
    profile_text_fuzz) printf '%s\n' tests/profile_corpus/files/* $ini ;;
    text_line_reader_fuzz|description_parser_fuzz) printf '%s\n' $ini tests/profile_corpus/files/* ;;
    reg_file_fuzz) printf '%s\n' $reg ;;
    module_discovery_fuzz|driver_answers_fuzz) find examples tests/e2e/images -iname ztsimmod.ini -type f ;;
    system_view_fuzz) printf '%s\n' tests/expected/demo/*.ini tests/expected/demo/pxirms.log tests/expected/output/*.ini ;;
  esac
}

run_one() {
  local target=$1 binary="$build/$1" corpus="$build/corpus/$1" artifacts="$build/artifacts/$1/"
  local log="$build/logs/$1.log" runs cov rc
  if [ ! -x "$binary" ]; then
    echo "$target: FAIL: $binary missing (cmake --preset fuzz && cmake --build --preset fuzz)"
    return 1
  fi
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  if [ -z "$(ls -A "$corpus")" ]; then
    local n=0 file
    while IFS= read -r file; do
      [ -f "$source_dir/$file" ] || continue
      n=$((n + 1))
      cp "$source_dir/$file" "$corpus/seed_$n"
    done < <(seeds "$target")
  fi
  # Inputs up to 64 KiB: long enough for lines beyond every buffer and
  # files of hundreds of sections, short enough to keep the runs fast.
  "$binary" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  if [ $rc -eq 0 ]; then
    echo "$target: ok, ${runs:-?} inputs in ${seconds} s, $cov, corpus $(ls "$corpus" | wc -l)"
  else
    echo "$target: FAIL (exit $rc), see $log; inputs in $artifacts"
    grep -m3 -e 'ERROR:' -e 'runtime error' -e 'deadly signal' "$log" | sed 's/^/  /'
  fi
  return $rc
}

# PARALLEL runs at a time; each exit status is collected.
status=0
running=0
for target in "${targets[@]}"; do
  run_one "$target" &
  running=$((running + 1))
  if [ $running -ge "$parallel" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
for ((; running > 0; running--)); do wait -n || status=1; done
exit $status
