#!/usr/bin/env bash
# Sets up, builds all three configurations, runs the tests of both Linux
# builds and checks the Windows DLL. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)
for preset in linux linux-asan windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

# The sample files are part of the test run wherever they are present, and
# required in CI.
samples=${MAXASE_SAMPLES_DIR:-$(cd .. && pwd)/shared/samples}
for preset in linux linux-asan; do
    cmake --preset "$preset" -DMAXASE_SAMPLES_DIR="$samples" -DMAXASE_REQUIRE_SAMPLES="${CI:+ON}" >/dev/null
    ctest --preset "$preset" -j "$jobs"
done

scripts/check_dll.sh build/windows/bin/maxaseimport.dll
echo "All tests passed."
