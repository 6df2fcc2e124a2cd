#!/usr/bin/env bash
# tools/demo.sh run from another folder with a relative FILE: illhost must get the path as the
# user meant it. Set-up and build are stubbed, so only the script's own handling is tried.
set -euo pipefail
demo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/repo/tools" "$work/repo/build/default/tools" "$work/stubs" "$work/elsewhere"
cp "$demo" "$work/repo/tools/demo.sh"
printf '#!/bin/sh\nexit 0\n' >"$work/repo/tools/deps.sh"
printf '#!/bin/sh\nexit 0\n' >"$work/stubs/cmake"
cat >"$work/repo/build/default/tools/illhost" <<'STUB'
#!/bin/sh
echo "cwd $PWD"
for arg; do [ -e "$arg" ] && echo "found $arg"; done
exit 0
STUB
chmod +x "$work/stubs/cmake" "$work/repo/build/default/tools/illhost"
echo '{}' >"$work/elsewhere/mine.json"
out=$(cd "$work/elsewhere" && PATH="$work/stubs:$PATH" bash ../repo/tools/demo.sh --json mine.json)
expected="cwd $work/elsewhere
found mine.json"
if [ "$out" != "$expected" ]; then
  printf 'demo.sh passed on:\n%s\nexpected:\n%s\n' "$out" "$expected"
  exit 1
fi
echo "demo.sh keeps a relative FILE relative to the caller's folder"
