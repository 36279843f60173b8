#!/usr/bin/env bash
# Builds every preset and runs all the tests: the native unit and scenario
# tests, the checks of both Windows executables, and the Wine end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")"

for preset in native native-asan mingw mingw32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

bash tests/check_pe.sh build/mingw build/mingw32
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (the Wine tests are left out there: they run the Windows build).
ctest --preset native-asan "$@"
ctest --preset native "$@"
