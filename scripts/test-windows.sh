#!/usr/bin/env bash
# Cross-builds the 32-bit and the 64-bit Windows presets and runs their test
# suites under Wine, in a throwaway Wine prefix inside build/ and one virtual
# X display, so that no test touches a real registry or shows a real box.
# Where this machine runs no 32-bit code, the 32-bit DLL is built and
# checked without Wine (its architecture, exports and imports), and one line
# says its suites were skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/i386.sh
source scripts/lib/ctest_rerun.sh

export WINEPREFIX=$PWD/build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader and server by their own paths: Debian's `wine` wrapper
# tries the 32-bit loader first.
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

run_suites() {
  # A running server and a booted prefix before ctest: Wine's services
  # inherit the first Wine program's output, and ctest would wait for them.
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p </dev/null >/dev/null 2>&1
  "$wine64" wineboot -i </dev/null >/dev/null 2>&1
  local status=0
  for preset in "$@"; do
    echo "=== $preset: tests"
    ctest_with_one_rerun "$preset" -j2 --timeout 900 || status=1
  done
  "$wineserver" -k || true
  return $status
}

# The second half, run again by this script inside the virtual display.
if [ "${1:-}" = "--run-suites" ]; then
  shift
  run_suites "$@"
  exit
fi

scripts/windows-deps.sh
presets=(${TESSVANE_WINDOWS_PRESETS:-mingw-i686 mingw-x64})
under_wine=()
status=0
for preset in "${presets[@]}"; do
  static_only=OFF
  [ "$preset" = mingw-i686 ] && ! runs_i386_code && static_only=ON
  echo "=== $preset: configure and build"
  cmake --preset "$preset" -DTESSVANE_STATIC_CHECKS_ONLY=$static_only >/dev/null
  cmake --build --preset "$preset" -j2
  if [ $static_only = ON ]; then
    echo "=== $preset: static checks"
    ctest --preset "$preset" || status=1
    echo "=== $preset: suites under Wine skipped: this machine runs no 32-bit code (a kernel without IA-32 emulation); the DLL was built and checked statically"
  else
    under_wine+=("$preset")
  fi
done
if [ ${#under_wine[@]} -gt 0 ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --run-suites "${under_wine[@]}" || status=1
fi
exit $status
