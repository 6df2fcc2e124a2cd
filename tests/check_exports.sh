#!/bin/sh
# Fails unless the module's dynamic symbol table holds exactly the expected exports.
set -eu
library=$1
expected=$2
actual=$(nm -D --defined-only -C "$library" | cut -d' ' -f3- | sort -u)
if [ "$actual" != "$(sort -u "$expected")" ]; then
  printf 'exports differ from %s:\n' "$expected"
  printf '%s\n' "$actual" | diff "$expected" - || true
  exit 1
fi
