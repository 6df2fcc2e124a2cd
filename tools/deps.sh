#!/usr/bin/env bash
# Installs from the Debian archive whatever the build needs and the machine lacks; further
# packages that one job needs are given as arguments. RapidCheck (librapidcheck-dev) drives the
# stateful property test of the tests in the default, sanitize and coverage builds.
set -euo pipefail
needed=(cmake g++ make libgtest-dev libgmock-dev binutils nlohmann-json3-dev libsimdjson-dev libcli11-dev
  libutf8proc-dev libboost1.81-dev libmimalloc-dev librapidcheck-dev libacl1-dev libattr1-dev acl attr
  python3 python3-jsonschema help2man "$@")
missing=()
for package in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${missing[@]}"
fi
