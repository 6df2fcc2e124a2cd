#!/bin/sh
# Fails unless the module exports exactly the expected names: check_exports.sh elf|pe LIBRARY
# EXPECTED reads an ELF dynamic symbol table, or a DLL's export table (names demangled).
set -eu
format=$1
library=$2
expected=$3
case $format in
  elf) actual=$(nm -D --defined-only -C "$library" | cut -d' ' -f3- | sort -u) ;;
  # The name table of `objdump -p`: "[ordinal] name" lines between its heading and a blank line.
  pe) actual=$(x86_64-w64-mingw32-objdump -p "$library" |
      sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' |
      c++filt | sort -u) ;;
  *) echo "check_exports.sh: unknown format $format" >&2; exit 2 ;;
esac
if [ -z "$actual" ] || [ "$actual" != "$(sort -u "$expected")" ]; then
  printf 'exports differ from %s:\n' "$expected"
  printf '%s\n' "$actual" | diff "$expected" - || true
  exit 1
fi
