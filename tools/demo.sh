#!/usr/bin/env bash
# Builds the module and runs the demo host over its built-in sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target demo_host illanimation
./build/default/tools/demo_host "$@"
