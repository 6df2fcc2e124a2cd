#!/usr/bin/env bash
# Builds and runs the tests: `tools/test.sh` for the default preset, `tools/test.sh sanitize`
# for AddressSanitizer and UndefinedBehaviorSanitizer, `tools/test.sh windows` for the Windows
# DLL under Wine, `tools/test.sh libcxx` for Clang with libc++.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
case $preset in
  # GoogleTest is built from Debian's sources there, for the target or the C++ library.
  windows) bash tools/deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest ;;
  libcxx) bash tools/deps.sh clang libc++-dev libc++abi-dev googletest ;;
  *) bash tools/deps.sh ;;
esac
cmake --workflow --preset "$preset"
