#!/usr/bin/env bash
# Installs the Khronos glTF validator (npm package gltf-validator, at the
# version tools/validator/package-lock.json pins) into
# tools/validator/node_modules, for the tests of maxase convert. Needs node
# and npm, which scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/../tools/validator"

wanted=$(node -p "require('./package.json').dependencies['gltf-validator']")
have=$(node -p "try { require('./node_modules/gltf-validator/package.json').version } catch (e) { '' }")
[ "$have" = "$wanted" ] && exit 0
echo "Installing gltf-validator $wanted"
npm ci --no-audit --no-fund --loglevel=error
