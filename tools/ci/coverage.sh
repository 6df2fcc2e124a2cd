#!/usr/bin/env bash
# Builds and runs the tests with gcc coverage (preset coverage) and reports line and branch
# coverage of the module's own code; fails below 100% of the lines or 95% of the branches.
# Branches that the compiler adds for exceptions and branches it can prove unreachable are
# left out. The report goes to <build>/coverage.txt and <build>/html/; COVERAGE_DIR sets the
# build folder (default build/coverage).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh gcovr
dir=${COVERAGE_DIR:-build/coverage}
cmake --preset coverage -B "$dir" >/dev/null
cmake --build "$dir" -j2
find "$dir" -name '*.gcda' -delete
# The coverage test preset leaves out the tests that compare the instrumented illhost's
# standard error (see its description in CMakePresets.json).
ctest --preset coverage --test-dir "$dir" -j2 >"$dir/ctest.log" || { cat "$dir/ctest.log"; exit 1; }
mkdir -p "$dir/html"
gcovr --root . --filter 'plugin/' --exclude-throw-branches --exclude-unreachable-branches \
  --txt "$dir/coverage.txt" --html-details "$dir/html/index.html" \
  --print-summary --fail-under-line 100 --fail-under-branch 95 "$dir" || status=$?
cat "$dir/coverage.txt"
exit "${status:-0}"
