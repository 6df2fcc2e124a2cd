#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix: wine_run.sh PREFIX PROGRAM ARGS...
# Wine's own diagnostics are off, and so are the components that a new prefix would offer to
# download, so that the output is the program's.
set -eu
WINEPREFIX=$1
shift
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
mkdir -p "$(dirname "$WINEPREFIX")"
# Under a lock, since the build's test discovery and CTest run programs in parallel: the prefix
# is made on first use, once. Then a Wine server that stays up between programs (until 15 s after
# the last) spares each test the start of the server and of Wine's own background programs, and
# those are started here with no output, so that they never hold a test's output open.
flock --close "$WINEPREFIX.lock" sh -c '
  if [ ! -f "$WINEPREFIX.ready" ]; then
    wineboot --init >"$WINEPREFIX.log" 2>&1 && wineserver --wait && touch "$WINEPREFIX.ready" ||
      exit 1
  fi
  if wineserver --persistent=15 </dev/null >/dev/null 2>&1; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi' || { echo "wine_run.sh: cannot make the Wine prefix $WINEPREFIX (see $WINEPREFIX.log)" >&2; exit 1; }
exec wine "$@"
