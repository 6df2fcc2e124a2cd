#!/usr/bin/env bash
# Checks an installed tree as a user meets it: usage: check_installed_tree.sh PREFIX EXPECTED
# PREFIX is the tree (P of `cmake --install --prefix P`, or usr/ of an unpacked package);
# EXPECTED holds illhost's expected JSON output for each example (and sample.json for the
# built-in sample). The tree is copied to a new place first and illhost runs there from an
# unrelated folder with a clean environment, so nothing can come from where it was built.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PREFIX EXPECTED_DIR" >&2; exit 2; }
source_tree=$(cd "$1" && pwd)
expected=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "installed tree: $*" >&2
  exit 1
}

mkdir -p "$scratch/moved" "$scratch/elsewhere"
cp -a "$source_tree" "$scratch/moved/tree"
tree=$(realpath "$scratch/moved/tree")
cd "$scratch/elsewhere"

module=$tree/lib/illanimation/libillanimation.so
illhost=$tree/bin/illhost
for file in bin/illhost lib/illanimation/libillanimation.so lib/illanimation/standin/libqmhost.so \
  include/illanimation/IllAnimationInitializer.h include/illanimation/version.h \
  share/illanimation/README.md share/illanimation/CHANGELOG.md share/illanimation/illustration.schema.json \
  share/illanimation/docs/host-integration.md share/man/man1/illhost.1.gz; do
  [ -f "$tree/$file" ] || fail "$file is missing"
done
[ -x "$illhost" ] || fail "bin/illhost is not executable"
# The installed README speaks of the installed commands, not of a clone's build folder.
! grep -nE '\./build/|tools/[a-z]+\.sh' "$tree/share/illanimation/README.md" ||
  fail "share/illanimation/README.md names commands that only a clone has"

# illhost reaches the stand-in only through its own folder; the module and the stand-in
# carry no search path, so in a host they bind to the host's own libraries.
runpath() { readelf -d "$1" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p'; }
illhost_path=$(runpath "$illhost")
[ -n "$illhost_path" ] || fail "bin/illhost has no RUNPATH"
IFS=: read -ra entries <<<"$illhost_path"
for entry in "${entries[@]}"; do
  case $entry in
    '$ORIGIN'/*) ;;
    *) fail "bin/illhost searches $entry, outside the tree" ;;
  esac
done
for library in "$module" "$tree/lib/illanimation/standin/libqmhost.so"; do
  [ -z "$(runpath "$library")" ] || fail "${library#"$tree"/} has a search path: $(runpath "$library")"
done

# The version in the module's note is the one in the installed header.
version=$(sed -n 's/^#define ILLANIMATION_VERSION "\(.*\)"$/\1/p' "$tree/include/illanimation/version.h")
[ -n "$version" ] || fail "include/illanimation/version.h names no version"
note=$(readelf -n "$module" | awk '/^ *illanimation /{owner=1; next} owner && /description data:/ {
  sub(/.*description data: */, ""); print; exit }')
[ -n "$note" ] || fail "the module has no illanimation version note"
note_text=$(printf '%b' "$(printf '%s' "$note" | sed 's/ *\([0-9a-f][0-9a-f]\) */\\x\1/g; s/\\x00$//')")
[ "$note_text" = "$version" ] || fail "the module's note says '$note_text', the header '$version'"

run_illhost() { env -i PATH=/usr/bin:/bin "$illhost" "$@"; }

# illhost finds its default module relative to its own location and names it in --version. An
# illhost whose command line does not have --version yet is run with --module, and says so.
help_text=$(run_illhost --help 2>/dev/null) || true
if [[ $help_text == *--version* ]]; then
  version_text=$(run_illhost --version) || fail "illhost --version failed"
  case $version_text in
    *"$version"*) ;;
    *) fail "illhost --version does not name $version: $version_text" ;;
  esac
  case $version_text in
    *"$module"*) ;;
    *) fail "illhost --version does not name the installed module $module: $version_text" ;;
  esac
  module_option=()
else
  echo "installed tree: illhost has no --version; its default module is not checked"
  module_option=(--module "$module")
fi

checked=0
for input in "$tree"/share/illanimation/examples/*.json ""; do
  name=$(basename "${input:-sample.json}" .json)
  [ -f "$expected/$name.json" ] || fail "no expected output $expected/$name.json"
  run_illhost "${module_option[@]}" --json ${input:+"$input"} >"$scratch/$name.json" ||
    fail "illhost failed on $name"
  diff -u "$expected/$name.json" "$scratch/$name.json" || fail "illhost's output for $name differs"
  checked=$((checked + 1))
done
echo "installed tree: layout, search paths, version $version and $checked runs match"
