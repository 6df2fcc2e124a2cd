#!/usr/bin/env bash
# The expected outputs of illhost over the examples and its built-in sample
# (tests/illhost/expected/NAME.json, which the illhost.example.* tests compare against).
# Without arguments: fails when any output differs. `--update`: rewrites them from the current
# build after a deliberate change; review the diff and commit it with the change.
# GOLDEN_DIR sets the build folder (default build/default).
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${GOLDEN_DIR:-build/default}
[ -f "$dir/CMakeCache.txt" ] || cmake --preset default -B "$dir" >/dev/null
cmake --build "$dir" -j2 --target illhost illanimation >/dev/null
illhost=$dir/tools/illhost
expected=tests/illhost/expected
actual=$(mktemp -d)
trap 'rm -rf "$actual"' EXIT
"$illhost" --json >"$actual/sample.json"
for example in examples/*.json; do
  "$illhost" --json "$example" >"$actual/$(basename "$example")"
done
if [ "${1:-}" = "--update" ]; then
  cp "$actual"/*.json "$expected"/
  echo "golden: $expected rewritten from $illhost"
  exit 0
fi
# Only the outputs made here: the folder also holds the expected tables of other tests.
differs=0
for output in "$actual"/*.json; do
  diff -u "$expected/$(basename "$output")" "$output" || differs=1
done
if [ $differs -eq 0 ]; then
  echo "golden: $expected matches $illhost"
else
  echo "golden: outputs differ from $expected (see above); if intended, run: bash tools/ci/golden.sh --update"
  exit 1
fi
