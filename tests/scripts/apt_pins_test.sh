#!/usr/bin/env bash
# The package step's pins, worked out from recorded `apt-cache policy` output:
# a stale i386 security index (amd64 security versions without i386 twins)
# and a machine where every index is fine.
set -euo pipefail
here=$(dirname "$0")
source "$here/../../scripts/lib/apt.sh"

failures=0
expect() {
  local case=$1 expected=$2 actual
  actual=$(apt_multiarch_pins i386 <"$here/apt-policy/$case.txt")
  if [ "$actual" = "$expected" ]; then
    echo "ok: $case"
  else
    printf 'FAILED: %s\n--- expected\n%s\n--- got\n%s\n' "$case" "$expected" "$actual"
    failures=$((failures + 1))
  fi
}

# libpcre2-8-0's security version is installed, the i386 index has only
# the release's; libcap2's candidate has a twin, so apt moves both itself;
# zlib1g and libssl3 are installed at versions both have, but their
# candidates are security updates i386 cannot follow.
expect stale-security-index "downgrade libpcre2-8-0 10.42-1 10.42-1+deb12u2
pin libgnutls30 3.7.9-2+deb12u4
none libonly-native1
pin zlib1g 1:1.2.13.dfsg-1
pin libssl3 3.0.20-1~deb12u2"
expect all-indexes-fine ""
[ $failures = 0 ]
