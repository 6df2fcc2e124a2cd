#!/usr/bin/env bash
# Builds the Debian package and the source archive (workflow preset `package`, build folder
# build/package) and proves them: lists both, unpacks the package into a scratch root with
# dpkg-deb -x (never into the system), checks that tree and a `cmake --install` tree with
# tests/install/check_installed_tree.sh while the build folder is moved away, and runs lintian
# over the package. A lintian finding fails the run unless cmake/debian/lintian-overrides
# accepts it (docs/host-integration.md says why each one is accepted).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh lintian file dpkg-dev
dir=build/package
away=$dir.moved-away
rm -rf "$away"
cmake --workflow --preset package

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
debs=("$dir"/illanimation_"$version"_*.deb)
deb=${debs[0]}
source_archive=$dir/illanimation-$version.tar.gz
[ -f "$deb" ] && [ -f "$source_archive" ] || { echo "package: $deb or $source_archive missing"; exit 1; }

echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
depends=$(dpkg-deb --field "$deb" Depends)
case $depends in
  *libc6*libstdc++6* | *libstdc++6*libc6*) ;;
  *) echo "package: the dependencies were not computed: '$depends'"; exit 1 ;;
esac

echo "== $source_archive"
listing=$(tar -tzf "$source_archive")
grep -qx "illanimation-$version/CMakeLists.txt" <<<"$listing" ||
  { echo "package: $source_archive lacks CMakeLists.txt"; exit 1; }
if grep -E '/(build|\.git)(/|$)' <<<"$listing"; then
  echo "package: $source_archive holds build output or git data (above)"
  exit 1
fi
echo "$(wc -l <<<"$listing") entries"

scratch=$(mktemp -d)
restore() {
  [ ! -d "$away" ] || mv "$away" "$dir"
  rm -rf "$scratch"
}
trap restore EXIT
dpkg-deb -x "$deb" "$scratch/root"
cmake --install "$dir" --prefix "$scratch/prefix" --strip >/dev/null
# Nothing that the trees run may come from the folder they were built in.
mv "$dir" "$away"
echo "== the unpacked package"
bash tests/install/check_installed_tree.sh "$scratch/root/usr" tests/illhost/expected
echo "== cmake --install"
bash tests/install/check_installed_tree.sh "$scratch/prefix" tests/illhost/expected
mv "$away" "$dir"

echo "== lintian"
lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$deb"
echo "package: $deb and $source_archive built and checked"
