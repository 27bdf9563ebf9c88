#!/usr/bin/env bash
# Sets up, builds the Linux configuration and runs the main job: the plug-in
# loaded into the reference host, as a host loads it, importing the example
# scene that the repository ships.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"

build/linux/bin/maxase info
build/linux/bin/maxase import examples/scene.ase
build/linux/bin/maxase convert examples/scene.ase -o build/scene.glb
