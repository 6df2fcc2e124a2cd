#!/usr/bin/env bash
# --save keeps what the file had: its access ACL and extended attributes, each that cannot be
# kept said in a warning; a new OUT gets what an ordinary open gives there (umask, default ACL).
# usage: save_keeps_test.sh ILLHOST EXAMPLE BUILD_DIR
set -euo pipefail
illhost=$1 example=$2
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT && chmod 755 "$dir" && cd "$dir"
# Another user may not reach the build tree (a clone in a folder only root may enter): what
# they run is installed first where anyone may read it.
if [ "$(id -u)" -eq 0 ] && cmake --install "$3" --prefix "$dir/tree" >/dev/null; then
  illhost=$dir/tree/bin/illhost example=$dir/tree/share/illanimation/examples/center_lines.json
fi
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
permissions() { getfacl -cp "$1"; getfattr -dh -m - "$1" | sed 1d; }

# One case a line: the ACL given to OUT beforehand, the attributes (NAME=VALUE, apart by ','),
# who saves (me, or other: a user in OUT's group) and the warning expected ('-' for none).
while IFS='|' read -r acl attributes who warning; do
  rm -f out.json && echo old >out.json && chgrp 4242 out.json
  setfacl -m "$acl" out.json
  for a in ${attributes//,/ }; do setfattr -n "${a%%=*}" -v "${a#*=}" out.json; done
  before=$(permissions out.json)
  run=()
  if [ "$who" = other ]; then
    if [ "$(id -u)" -ne 0 ] ||
      ! setpriv --reuid=4243 --regid=4243 --groups=4242 "$illhost" --version >/dev/null 2>&1; then
      echo "[  SKIPPED ] $acl as another user: needs root, and illhost where that user can run it"
      continue
    fi
    chmod 777 . && run=(setpriv --reuid=4243 --regid=4243 --groups=4242)
  fi
  err=$("${run[@]}" "$illhost" --save out.json "$example" 2>&1 >/dev/null) || fail "$acl: exit $?: $err"
  chmod 755 .
  grep -q '"stored"' out.json || fail "$acl: not saved"
  if [ "$warning" = - ]; then
    [ -z "$err" ] || fail "$acl: unexpected: $err"
    [ "$(permissions out.json)" = "$before" ] || fail "$acl: before:
$before
after:
$(permissions out.json)"
  else
    [[ $err == *"illhost: warning: $warning"* ]] || fail "$acl: expected '$warning', got: $err"
  fi
done <<'ROWS'
u:nobody:rw,g::---,m::rw|user.note=kept,user.second=also|me|-
g:4242:rw,o::---|user.note=kept,security.illhost=root's|me|-
u::rw,g::rw,o::r|security.illhost=root's|other|setting attribute security.illhost for out.json: Operation not permitted
ROWS

# A new OUT, under two umasks and a folder's default ACL: what `touch` makes there.
mkdir plain defaults && setfacl -d -m u::rw,g::r,o::---,u:nobody:rw defaults
for folder in plain defaults; do
  for mask in 022 077; do
    rm -f "$folder"/*
    (umask $mask && touch "$folder/touched" && "$illhost" --save "$folder/saved.json" "$example" >/dev/null) ||
      fail "new file in $folder under umask $mask: not saved"
    [ "$(getfacl -cp "$folder/saved.json")" = "$(getfacl -cp "$folder/touched")" ] ||
      fail "new file in $folder under umask $mask: $(getfacl -cp "$folder/saved.json")"
  done
done
exit $failed
