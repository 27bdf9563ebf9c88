#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing, and
# the glTF validator the tests run. Runs as root, or through sudo when it is
# available.
set -euo pipefail

packages=(
    cmake ninja-build g++ g++-multilib lib32asan8 lib32ubsan1   # 32-bit Linux builds
    mingw-w64 binutils-mingw-w64-i686                          # the Windows DLL
    googletest nlohmann-json3-dev libcli11-dev                 # tests, dump, tool
    clang libclang-rt-14-dev llvm                              # libFuzzer harnesses and their reports
    lib32z1-dev libz-mingw-w64-dev zstd                        # gzip streams; zstd frames for the tests
    python3 file
    nodejs                                                     # the glTF validator
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Some builds of nodejs bring npm along; Debian's keeps it in a package of its own.
command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
        as_root=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
command -v npm >/dev/null || { echo "setup: npm is missing after installing nodejs" >&2; exit 1; }

"$(dirname "$0")/setup_validator.sh"
