#!/usr/bin/env bash
# The package step's pins, worked out from recorded `apt-cache policy` output:
# a stale i386 security index (the amd64 security version has no i386 twin)
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

expect stale-security-index "downgrade libpcre2-8-0 10.42-1 10.42-1+deb12u2
pin libcap2 1:2.66-4+deb12u3+b1
pin libgnutls30 3.7.9-2+deb12u4
none libonly-native1"
expect all-indexes-fine ""
[ $failures = 0 ]
