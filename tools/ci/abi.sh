#!/usr/bin/env bash
# Guards the module's binary interface: its exported symbols must be exactly the documented
# set (tests/check_exports.sh with tests/expected_exports.txt), and abidiff must find no change
# against the committed baseline abi/libillanimation.abi. After a deliberate change to the
# exported class or entry points, `bash tools/ci/abi.sh --update` rewrites the baseline.
# ABI_DIR sets the build folder (default build/default).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh abigail-tools
dir=${ABI_DIR:-build/default}
[ -f "$dir/CMakeCache.txt" ] || cmake --preset default -B "$dir" >/dev/null
cmake --build "$dir" -j2 --target illanimation
module=$dir/plugin/libillanimation.so
baseline=abi/libillanimation.abi
headers=plugin/include
current=$(mktemp)
trap 'rm -f "$current"' EXIT
abidw --no-corpus-path --no-comp-dir-path --no-show-locs --drop-private-types --headers-dir "$headers" --out-file "$current" "$module"
if [ "${1:-}" = "--update" ]; then
  mkdir -p abi
  install -m 644 "$current" "$baseline"
  echo "abi: baseline $baseline rewritten from $module"
  exit 0
fi
sh tests/check_exports.sh elf "$module" tests/expected_exports.txt
# abidiff exits non-zero on any change of the interface; additions count as changes too.
if abidiff --no-show-locs "$baseline" "$current"; then
  echo "abi: $module matches $baseline"
else
  echo "abi: $module differs from $baseline (see above); if intended, run: bash tools/ci/abi.sh --update"
  exit 1
fi
