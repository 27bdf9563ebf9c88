#!/usr/bin/env bash
# Builds the plug-in and maxase at two revisions and compares what they make
# of every sample file: the scene dump (maxase import --agree --json) and the
# glTF conversion (maxase convert, .gltf). Prints each file whose dump or
# conversion differs; exits 1 when any does.
#
#   scripts/compare_imports.sh BASE [HEAD]
#
# BASE and HEAD are git revisions; HEAD defaults to the work tree as it is.
# Builds land in build/compare/<revision>, results in build/compare/out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

[ $# -ge 1 ] || { echo "usage: $0 BASE [HEAD]" >&2; exit 2; }
base=$1
head=${2:-}

source scripts/find_samples.sh
[ -n "$samples" ] && [ -d "$samples" ] || { echo "compare: no sample folder (set MAXASE_SAMPLES_DIR)" >&2; exit 2; }

# Builds the revision's plug-in and tool; prints the folder of its binaries.
build_revision() {
    local revision=$1 source dir
    if [ -z "$revision" ]; then
        source=$root
        dir=$root/build/compare/worktree
    else
        local commit
        commit=$(git rev-parse --short "$revision")
        source=$root/build/compare/src-$commit
        dir=$root/build/compare/$commit
        if [ ! -d "$source" ]; then
            mkdir -p "$source"
            git archive "$commit" | tar -x -C "$source"
        fi
    fi
    cmake -S "$source" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$dir" --target plugin maxase -j "$(nproc)" >/dev/null
    echo "$dir/bin"
}

# Every sample's dump and conversion by the binaries in $1, into folder $2.
run_samples() {
    local bin=$1 out=$2 settings
    rm -rf "$out"
    mkdir -p "$out"
    settings=$out/settings.ini
    for file in "$samples"/max/*.max "$samples"/ase/*.[aA][sS][eE]; do
        local name
        name=$(basename "$file")
        "$bin/maxase" import "$file" --agree --settings "$settings" --json "$out/$name.json" >/dev/null 2>&1 || true
        "$bin/maxase" convert "$file" --agree --settings "$settings" -o "$out/$name.gltf" >/dev/null 2>&1 || true
    done
}

base_bin=$(build_revision "$base")
head_bin=$(build_revision "$head")
run_samples "$base_bin" build/compare/out/base
run_samples "$head_bin" build/compare/out/head

differ=0
same=0
for result in build/compare/out/base/*.json build/compare/out/base/*.gltf; do
    name=$(basename "$result")
    if cmp -s "$result" "build/compare/out/head/$name"; then
        same=$((same + 1))
    else
        echo "differs: $name"
        differ=$((differ + 1))
    fi
done
echo "compare: $same results identical, $differ differ (base ${base}, head ${head:-work tree})"
[ "$differ" -eq 0 ]
