#!/usr/bin/env bash
# Converts every example the repository ships and every real sample file
# (.ase and .max) with maxase convert, to .gltf and to .glb, and runs the
# Khronos glTF validator over the results: no file may fail to convert and
# no converted file may have a validator error. Warnings are listed.
#
# validate_conversions.sh MAXASE VALIDATOR_DIR OUT_DIR REQUIRE_SAMPLES EXAMPLES_DIR SAMPLES_DIR
set -uo pipefail
maxase=$1 validator=$2 out=$3 require=$4 examples=$5 samples=$6

if ! command -v node >/dev/null || [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
    echo "the glTF validator is not installed: run scripts/setup.sh" >&2
    exit 1
fi

inputs=()
collect() {
    local folder=$1
    [ -d "$folder" ] || return 0
    while IFS= read -r -d '' f; do inputs+=("$f"); done < <(find "$folder" -maxdepth 2 -type f \( -iname '*.ase' -o -iname '*.max' \) -print0 | sort -z)
}
collect "$examples"
if [ -d "$samples" ]; then
    collect "$samples"
elif [ "$require" = 1 ]; then
    echo "the sample files are required and not found at $samples" >&2
    exit 1
else
    echo "sample files not found at $samples: only the examples are converted"
fi
if [ ${#inputs[@]} -eq 0 ]; then
    echo "nothing to convert: no examples and no samples"
    exit 77
fi

rm -rf "$out"
mkdir -p "$out"
outputs=()
failed=0
for input in "${inputs[@]}"; do
    name=$(basename "$(dirname "$input")")_$(basename "$input")
    for format in gltf glb; do
        target="$out/$name.$format"
        "$maxase" convert --agree --settings "$out/settings.ini" "$input" -o "$target" >"$out/$name.$format.log" 2>&1
        status=$?
        # 1 is an import that failed part way: the file holds what was read.
        if [ $status -gt 1 ] || [ ! -s "$target" ]; then
            echo "NOT CONVERTED ($status): $input -> $target"
            sed 's/^/    /' "$out/$name.$format.log" | tail -20
            failed=$((failed + 1))
            continue
        fi
        [ $status -eq 1 ] && [ $format = gltf ] && echo "import failed part way (converted what was read): $input"
        outputs+=("$target")
    done
done
echo "converted ${#outputs[@]} files from ${#inputs[@]} inputs, $failed not converted"

validated=0
if [ ${#outputs[@]} -gt 0 ]; then
    node "$validator/validate.mjs" "${outputs[@]}" >"$out/validator.log" 2>&1
    validated=$?
    grep -v '^  missing bitmap' "$out/validator.log" | grep -E ': [1-9][0-9]* errors|ERROR|^validator|^  warning [A-Z_]+: [0-9]+$'
fi
[ $failed -eq 0 ] && [ $validated -eq 0 ]
