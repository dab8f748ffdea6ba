#!/usr/bin/env bash
# Builds the release, ASan+UBSan and TSan configurations and runs every test
# suite in each, inside one virtual X display so the editor tests run too;
# then every fuzz target for TESSVANE_FUZZ_SECONDS (default 60, 0 skips),
# then the Windows DLLs, cross-built and tested under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets=(${TESSVANE_PRESETS:-release asan tsan})
jobs=$(nproc)
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

status=0
for preset in "${presets[@]}"; do
  echo "=== $preset: tests"
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --preset "$preset" -j"$jobs" --timeout 900 || status=1
done

fuzz_seconds=${TESSVANE_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" != 0 ]; then
  echo "=== fuzz: $fuzz_seconds s per target"
  TESSVANE_JOBS=$jobs scripts/fuzz.sh "$fuzz_seconds" || status=1
fi

if [ "${TESSVANE_SKIP_WINDOWS:-0}" != 1 ]; then
  scripts/test-windows.sh || status=1
fi
exit $status
