#!/usr/bin/env bash
# Builds the benchmarks and runs each one for a moment: a smoke test, not a measurement.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh libbenchmark-dev
cmake --workflow --preset bench
build/bench/bench/illanimation_bench --benchmark_min_time=0.001
