#!/usr/bin/env bash
# Builds the release, ASan+UBSan and TSan configurations and runs every test
# suite in each under a virtual X display, so the editor tests run too; then
# every fuzz target (the asan build has them) for TESSVANE_FUZZ_SECONDS
# (default 60, 0 skips). The Windows DLLs are cross-built and tested under
# Wine alongside, once the Linux builds are done. A failed test runs once
# more (scripts/lib/ctest_rerun.sh). Ends with the time each stage took and
# the tests that failed, even once.
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
# Last in the output, where a log cut to its tail still shows it: the tests
# that failed, or failed once and passed when run again, with the end of
# what each printed the first time; and what a fuzzer found.
print_failures() {
  local preset first name verdict
  for preset in release asan tsan mingw-i686 mingw-x64; do
    first=build/$preset/first-run-failed.log
    [ -s "$first" ] || continue
    while IFS=: read -r _ name; do
      verdict="failed once, passed when run again"
      grep -qx "[0-9]*:$name" "build/$preset/Testing/Temporary/LastTestsFailed.log" 2>/dev/null && verdict=FAILED
      echo "=== $preset: $name: $verdict"
      awk -v name="$name" '
        /^[0-9]+\/[0-9]+ Testing: / { keep = ($3 == name); if (keep) lines = 0 }
        keep && index($0, "\"" name "\" end time") == 1 { keep = 0 }
        keep { last[lines++ % 25] = $0 }
        END { for (i = (lines > 25 ? lines - 25 : 0); i < lines; i++) print "  " last[i % 25] }' \
        "build/$preset/first-run.log"
    done <"$first"
  done
  grep -h -A3 -E '^==[0-9]+==ERROR|^SUMMARY: ' build/fuzz/*.log 2>/dev/null | head -20 || true
}
on_exit() {
  print_stage_times
  print_failures
}
trap on_exit EXIT

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
rm -f build/*/first-run-failed.log build/fuzz/*.log

windows=1
[ "${TESSVANE_SKIP_WINDOWS:-0}" = 1 ] && windows=0
# The Windows packages download (and their libpng builds) while Linux compiles.
if [ $windows = 1 ]; then
  mkdir -p build
  rm -f build/windows-deps.status
  (
    deps_status=0
    scripts/windows-deps.sh >build/windows-deps.log 2>&1 || deps_status=$?
    echo $deps_status >build/windows-deps.status
  ) &
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
# The Windows DLLs build and run their suites under Wine while the Linux
# suites and the fuzzers run: those wait on workers, displays and clocks
# more than they use the cores.
if [ $windows = 1 ]; then
  echo "=== windows: packages, then the DLLs' build and tests in the background (build/windows.log)"
  (
    start=$SECONDS
    while [ ! -f build/windows-deps.status ]; do sleep 1; done
    wait_status=$(cat build/windows-deps.status)
    if [ "$wait_status" = 0 ]; then
      scripts/test-windows.sh >build/windows.log 2>&1 || wait_status=$?
    else
      cat build/windows-deps.log >build/windows.log
    fi
    echo $((SECONDS - start)) >build/windows.seconds
    exit $wait_status
  ) &
  windows_stage=$!
fi

run_suites() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash -c 'source scripts/lib/ctest_rerun.sh && ctest_with_one_rerun "$@"' _ "$1" -j"$jobs" --timeout 900
}
for preset in "${presets[@]}"; do
  echo "=== $preset: tests"
  stage "$preset: tests" run_suites "$preset" || status=1
done

fuzz_seconds=${TESSVANE_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" != 0 ]; then
  echo "=== fuzz: $fuzz_seconds s per target"
  stage "fuzz: run (asan build)" env TESSVANE_JOBS="$jobs" scripts/fuzz.sh "$fuzz_seconds" || status=1
fi

if [ $windows = 1 ]; then
  echo "=== windows: waiting for the DLLs' build and tests"
  windows_status=0
  stage "windows: left to wait for" wait "$windows_stage" || windows_status=$?
  cat build/windows.log
  stage_names+=("windows: build and tests (background)")
  stage_seconds+=("$(cat build/windows.seconds 2>/dev/null || echo 0)")
  [ $windows_status = 0 ] || status=1
fi
exit $status
