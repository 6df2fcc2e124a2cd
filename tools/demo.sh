#!/usr/bin/env bash
# Builds the module and runs illhost over its built-in sample, or with the options and files
# given. Paths are taken from the folder it was run from; the build's messages go to standard
# error so that standard output is illhost's alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(
  cd "$root"
  bash tools/deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default --target illhost illanimation
) >&2
exec "$root/build/default/tools/illhost" "$@"
