#!/usr/bin/env bash
# Builds the fuzz targets of the asan preset and runs each for N seconds
# (default 60), TESSVANE_JOBS (default 2) targets at a time, starting from
# its committed seeds; prints the executions of each run. New corpus entries
# go to build/fuzz/corpus/<target>, crashes to build/fuzz/crashes/<target>.
# Fails when any target found a fault.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
jobs=${TESSVANE_JOBS:-2}
targets=("$@")

cmake --preset asan >/dev/null
if [ ${#targets[@]} -eq 0 ]; then
  # Every target the build defines whose name ends in _fuzz.
  mapfile -t targets < <(cmake --build build/asan --target help | grep -o '[a-z0-9_]*_fuzz$' | sort -u)
fi
cmake --build build/asan -j"$jobs" --target "${targets[@]}"

# One target per core: each still gets its full N seconds of its own core.
run_target() {
  local t=$1 corpus=build/fuzz/corpus/$1 crashes=build/fuzz/crashes/$1 log=build/fuzz/$1.log dict=()
  mkdir -p "$corpus" "$crashes"
  case $t in
    dispatcher_fuzz | chunk_fuzz | parameter_sequence_fuzz) dict=(-dict=tests/fuzz/floats.dict) ;;
  esac
  build/asan/tests/fuzz/$t -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/" \
    "${dict[@]}" "$corpus" "tests/fuzz/corpus/$t" >"$log" 2>&1
}

declare -A pids
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" &
  pids[$t]=$!
done

status=0
for t in "${targets[@]}"; do
  log=build/fuzz/$t.log
  if wait "${pids[$t]}"; then
    result=clean
  else
    result="FAULT (see $log)"
    status=1
  fi
  executions=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  printf '%-26s %10s executions in %ss: %s\n' "$t" "${executions:-?}" "$seconds" "$result"
done
exit $status
