#!/usr/bin/env bash
# Sets up, builds all three configurations, runs the tests of both Linux
# builds, checks the Windows DLL, then builds the libFuzzer harnesses, which
# replay the kept inputs and seeds and fuzz for a minute each. This is what
# CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

# The real sample files: MAXASE_SAMPLES_DIR, else the shared folder beside the
# checkout. Where they are found the corpus tests are required to pass, never
# skipped; where they are absent those tests are skipped with a message.
source scripts/find_samples.sh
if [ -n "$samples" ] && [ -d "$samples" ]; then
    echo "Sample files: $samples (required)"
    corpus=(-DMAXASE_SAMPLES_DIR="$samples" -DMAXASE_REQUIRE_SAMPLES=ON)
else
    echo "Sample files: not found; the corpus tests will be skipped"
    corpus=(-DMAXASE_REQUIRE_SAMPLES=OFF)
fi

jobs=$(nproc)
for preset in linux linux-asan; do
    cmake --preset "$preset" "${corpus[@]}" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
scripts/check_dll.sh build/windows/bin/maxaseimport.dll

MAXASE_SAMPLES_DIR=$samples scripts/fuzz.sh --seconds "${MAXASE_FUZZ_SECONDS:-60}"
echo "All tests passed."
