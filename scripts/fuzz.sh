#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset "fuzz": clang, 32-bit, ASan and
# UBSan) and runs them one after the other, each for the same time.
#
#   scripts/fuzz.sh [--minutes N | --seconds N] [--parallel] [TARGET...]
#
# Default: 5 minutes each, every target (a harness build/fuzz/bin/TARGET_fuzzer),
# one after the other; --parallel runs them all at once, at a lower priority.
# Each target's working corpus, build/fuzz/corpus/TARGET, starts from its
# seeds and its kept inputs (fuzz/regressions/TARGET) and grows from run to
# run. An input that fails lands in build/fuzz/artifacts/TARGET; once its
# fault is mended it belongs in fuzz/regressions/TARGET. Exits non-zero when
# any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=300
parallel=0
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --minutes) seconds=$(($2 * 60)); shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --parallel) parallel=1; shift ;;
        -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done

scripts/setup.sh
source scripts/find_samples.sh
cmake --preset fuzz ${samples:+-DMAXASE_SAMPLES_DIR="$samples"} >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

if [ ${#targets[@]} -eq 0 ]; then
    for harness in build/fuzz/bin/*_fuzzer; do
        name=$(basename "$harness")
        targets+=("${name%_fuzzer}")
    done
fi

# Leaks and memory that follows a count from the file are failures; a single
# allocation beyond 128 MB cannot come from an input of this size.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Runs one target and prints its summary line; fails when the target did.
run_target() {
    local target=$1
    local corpus=build/fuzz/corpus/$target
    local artifacts=build/fuzz/artifacts/$target
    local log=build/fuzz/logs/$target.log
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    for source in "build/fuzz/fuzz/seeds/$target" "fuzz/regressions/$target"; do
        [ -d "$source" ] && find "$source" -maxdepth 1 -type f ! -name '.*' -exec cp -n {} "$corpus"/ \;
    done
    local dictionary=()
    [ -f "fuzz/dictionaries/$target.dict" ] && dictionary=(-dict="fuzz/dictionaries/$target.dict")
    local status=0
    "build/fuzz/bin/${target}_fuzzer" "$corpus" "${dictionary[@]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=128 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        >"$log" 2>&1 || status=$?
    local executions coverage
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    if [ "$status" -eq 0 ]; then
        echo "$target: ${executions:-?} executions in ${seconds}s, ${coverage:-cov: ?}, corpus $(find "$corpus" -type f | wc -l) inputs: clean"
        return 0
    fi
    echo "$target: FAILED after ${executions:-?} executions (exit $status); log $log, inputs in $artifacts:"
    grep -E "^$target: |ERROR|SUMMARY" "$log" | head -20 || true
    return 1
}

failed=0
if [ "$parallel" -eq 1 ]; then
    pids=()
    for target in "${targets[@]}"; do
        nice -n 10 bash -c "$(declare -f run_target); seconds=$seconds; run_target $target" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
else
    for target in "${targets[@]}"; do
        run_target "$target" || failed=1
    done
fi
exit $failed
