#!/usr/bin/env bash
# Lint: every tracked C++ file must be formatted as .clang-format says, and clang-tidy (with
# .clang-tidy) must find nothing in plugin/ and tools/. LINT_DIR sets the build folder whose
# compile_commands.json clang-tidy reads (default build/default; configured if missing).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh clang-format clang-tidy
dir=${LINT_DIR:-build/default}
[ -f "$dir/compile_commands.json" ] || cmake --preset default -B "$dir" >/dev/null

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "lint: the files above are not formatted; run: clang-format -i FILE"
  exit 1
fi
echo "lint: clang-format: ${#sources[@]} files formatted"

mapfile -t tidy < <(git ls-files 'plugin/*.cpp' 'tools/*.cpp')
if ! printf '%s\n' "${tidy[@]}" | xargs -P2 -n4 clang-tidy -p "$dir" --quiet 2>/dev/null; then
  echo "lint: clang-tidy reported the findings above"
  exit 1
fi
echo "lint: clang-tidy: ${#tidy[@]} files, no finding"
