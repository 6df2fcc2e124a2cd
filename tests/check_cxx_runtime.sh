#!/bin/sh
# Fails unless the library loads the C++ library WANTED and none whose name starts with
# UNWANTED: check_cxx_runtime.sh elf|pe LIBRARY WANTED UNWANTED.
set -eu
format=$1
library=$2
wanted=$3
unwanted=$4
case $format in
  elf) needed=$(objdump -p "$library" | awk '$1 == "NEEDED" { print $2 }') ;;
  pe) needed=$(x86_64-w64-mingw32-objdump -p "$library" | awk '/DLL Name:/ { print $3 }') ;;
  *) echo "check_cxx_runtime.sh: unknown format $format" >&2; exit 2 ;;
esac
if ! printf '%s\n' "$needed" | grep -qxF "$wanted" ||
   printf '%s\n' "$needed" | grep -q "^$unwanted"; then
  printf '%s loads, wanted %s and no %s*:\n%s\n' "$library" "$wanted" "$unwanted" "$needed"
  exit 1
fi
