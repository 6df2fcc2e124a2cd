#!/usr/bin/env bash
# Checks that no ELF file under FOLDER searches the current folder or a relative one for
# libraries: every RPATH and RUNPATH entry is absolute or starts with $ORIGIN, none is empty.
# usage: search_paths_test.sh FOLDER
set -euo pipefail
checked=0 bad=0
while IFS= read -r -d '' file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  checked=$((checked + 1))
  while IFS= read -r path; do
    IFS=: read -ra entries <<<"$path"
    [[ -z $path || $path == *: ]] && entries+=("")  # read drops a last empty entry
    for entry in "${entries[@]}"; do
      case $entry in
        /* | '$ORIGIN' | '$ORIGIN'/*) ;;
        *) echo "$file searches '${entry}' (search path '$path')" >&2; bad=$((bad + 1)) ;;
      esac
    done
  done < <(readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
done < <(find "$1" -type f \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) -print0)
[ "$checked" -gt 0 ] || { echo "no ELF file under $1" >&2; exit 1; }
echo "$checked ELF files, $bad search path entries that are empty or relative"
[ "$bad" -eq 0 ]
