#!/usr/bin/env bash
# Builds and runs the tests: `tools/test.sh` for the default preset, `tools/test.sh sanitize`
# for AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --workflow --preset "${1:-default}"
