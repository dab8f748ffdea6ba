#!/usr/bin/env bash
# Cross-builds the 32-bit and the 64-bit Windows presets and runs their test
# suites under Wine, in a throwaway Wine prefix inside build/ and one virtual
# X display, so that no test touches a real registry or shows a real box.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX=$PWD/build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

run_suites() {
  # A running server and a booted prefix before ctest: Wine's services
  # inherit the first Wine program's output, and ctest would wait for them.
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot -i </dev/null >/dev/null 2>&1
  local status=0
  for preset in "$@"; do
    echo "=== $preset: tests"
    ctest --preset "$preset" -j2 --timeout 900 || status=1
  done
  wineserver -k || true
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
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --run-suites "${presets[@]}"
