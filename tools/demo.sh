#!/usr/bin/env bash
# Builds the module and runs illhost over its built-in sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target illhost illanimation
./build/default/tools/illhost "$@"
