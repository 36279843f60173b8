#!/usr/bin/env bash
# Builds every preset and runs all the tests: the native unit and scenario
# tests (the hostile-system suite among them) natively and under the
# sanitizers, the checks of both Windows executables, the Wine end-to-end
# tests, and each fuzz target for 20 seconds on its corpus.
set -euo pipefail
cd "$(dirname "$0")"

for preset in native native-asan mingw mingw32 fuzz; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

bash tests/check_pe.sh build/mingw build/mingw32
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (the Wine tests are left out there: they run the Windows build).
ctest --preset native-asan "$@"
ctest --preset native "$@"
# Each fuzz target for 20 s, two at a time (tests/fuzz/run.sh runs them for
# as long as asked).
bash tests/fuzz/run.sh -p 2 20
