#!/usr/bin/env bash
# Runs the unit tests under valgrind memcheck (CTest label memcheck) in an optimised build with
# debug info; fails on any memory error or definitely lost byte. MEMCHECK_DIR sets the build
# folder (default build/memcheck).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh valgrind
dir=${MEMCHECK_DIR:-build/memcheck}
cmake --preset default -B "$dir" -DILL_MEMCHECK=ON >/dev/null
cmake --build "$dir" -j2
ctest --test-dir "$dir" -L memcheck -j2 --output-on-failure
