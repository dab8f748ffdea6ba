#!/usr/bin/env bash
# Builds the release, ASan+UBSan and TSan configurations and runs every test
# suite in each, inside one virtual X display so the editor tests run too;
# then every fuzz target for TESSVANE_FUZZ_SECONDS (default 60, 0 skips),
# then the Windows DLLs, cross-built and tested under Wine. Ends with the
# time each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_names=()
stage_seconds=()
run_start=$SECONDS
print_stage_times() {
  echo "=== stage durations"
  for i in "${!stage_names[@]}"; do
    printf '  %-34s %4d s\n' "${stage_names[$i]}" "${stage_seconds[$i]}"
  done
  printf '  %-34s %4d s\n' "total" $((SECONDS - run_start))
}
trap print_stage_times EXIT

# stage NAME COMMAND...: runs the command, records its time, passes its status on.
stage() {
  local name=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  stage_names+=("$name")
  stage_seconds+=($((SECONDS - start)))
  return $status
}

stage "install packages" scripts/install-deps.sh

windows=1
[ "${TESSVANE_SKIP_WINDOWS:-0}" = 1 ] && windows=0
# The Windows packages download (and their libpng builds) while Linux compiles.
if [ $windows = 1 ]; then
  mkdir -p build
  scripts/windows-deps.sh >build/windows-deps.log 2>&1 &
  windows_deps=$!
fi

presets=(${TESSVANE_PRESETS:-release asan tsan})
jobs=$(nproc)
build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$jobs"
}
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  stage "$preset: build" build_preset "$preset"
done

status=0
run_suites() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset "$1" -j"$jobs" --timeout 900
}
for preset in "${presets[@]}"; do
  echo "=== $preset: tests"
  stage "$preset: tests" run_suites "$preset" || status=1
done

fuzz_seconds=${TESSVANE_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" != 0 ]; then
  echo "=== fuzz: $fuzz_seconds s per target"
  stage "fuzz: build and run" env TESSVANE_JOBS="$jobs" scripts/fuzz.sh "$fuzz_seconds" || status=1
fi

if [ $windows = 1 ]; then
  echo "=== windows: packages"
  windows_deps_ok=0
  stage "windows: packages (waited for)" wait "$windows_deps" && windows_deps_ok=1
  if [ $windows_deps_ok = 1 ]; then
    stage "windows: build and tests" scripts/test-windows.sh || status=1
  else
    cat build/windows-deps.log
    status=1
  fi
fi
exit $status
