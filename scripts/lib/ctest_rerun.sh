# ctest with one more chance for what failed (sourced). Suites that drive a
# shared X display, Wine or outside hosts on two busy cores may lose a race
# with the machine rather than find a fault; the failed tests run once more,
# one at a time. The first run's failures and output stay in
# build/<preset>/first-run-failed.log and first-run.log, so a test that
# passed only the second time is still reported.
#   ctest_with_one_rerun PRESET [ctest arguments...]
ctest_with_one_rerun() {
  local preset=$1 dir=build/$1
  shift
  rm -f "$dir/first-run-failed.log" "$dir/first-run.log"
  ctest --preset "$preset" "$@" && return 0
  local temporary=$dir/Testing/Temporary
  [ -s "$temporary/LastTestsFailed.log" ] || return 1
  cp "$temporary/LastTestsFailed.log" "$dir/first-run-failed.log"
  cp "$temporary/LastTest.log" "$dir/first-run.log"
  echo "=== $preset: the failed tests once more, one at a time"
  ctest --preset "$preset" --rerun-failed --timeout 900 --output-on-failure
}
