#!/usr/bin/env bash
# Installs what is missing and builds three trees at the same time:
#   build-test  clang-14, AddressSanitizer and UndefinedBehaviorSanitizer, asserts on: every test
#               and the five fuzz targets;
#   build       the tree scripts/run.sh builds (GCC, the programs and the benchmarks, no tests),
#               so that a source that builds only with the sanitizer trees' precompiled headers
#               fails here too;
#   build-tsan  clang-14 and ThreadSanitizer: the test programs that start threads.
# Checks that the sources are formatted, runs every test of build-test and beside them the fuzz
# targets for a bounded time, and the race checks of build-tsan as soon as that tree is built;
# fails if any of these fails. The race checks' output is printed last, so that their summary
# closes the run.
#
# The sanitizer tree builds and tests at normal priority, its fuzz targets beside the tests at
# nice 10. The race tree builds and runs its tests just below it (nice 5), as its slowest
# programs take longest to run; the run tree builds at the lowest priority (nice 19) and so takes
# the cores the others leave idle.
#   CI=true     warnings fail the build of all three trees (-Werror); the run tree is built
#               without debug information (warnings do not depend on it; it costs a third of the
#               compile time). Elsewhere warnings stay warnings and the run tree is the one
#               scripts/run.sh builds.
#   ZEKO_JOBS   parallel compile jobs of each tree (default: one per core)
#   CTEST_PARALLEL_LEVEL  test programs run at once by the sanitizer tree (default: one per
#               core); the race checks run half as many beside them
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

source "$root/scripts/run-options.sh"
# The test sources compile only in the sanitizer trees, so CI fails on their warnings there.
werror=-DCMAKE_COMPILE_WARNING_AS_ERROR=OFF
if [ "${CI:-}" = "true" ]; then
    run_options=(-DZEKO_BUILD_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG")
    werror=-DCMAKE_COMPILE_WARNING_AS_ERROR=ON
fi
jobs=${CTEST_PARALLEL_LEVEL:-$(nproc)}
race_jobs=$(((jobs + 1) / 2))
logs="$root/build-logs"
mkdir -p "$logs"
rm -f "$logs/race-checks.log"

# Each in a process group of its own (setsid), so that it can be stopped whole.
setsid nice -n 19 bash "$root/scripts/build.sh" "$root/build" "${run_options[@]}" \
    >"$logs/build.log" 2>&1 &
run_tree=$!
# Exit status 90: the race tree did not build; otherwise that of its tests.
setsid nice -n 5 bash -c '
    ZEKO_TARGETS=zeko_thread_tests bash "$1/scripts/build.sh" "$1/build-tsan" -DZEKO_TSAN=ON \
        -DZEKO_BUILD_BENCH=OFF "$4" >"$2/build-tsan.log" 2>&1 || exit 90
    cd "$1/build-tsan" && ctest --output-on-failure -j "$3" >"$2/race-checks.log" 2>&1' \
    race "$root" "$logs" "$race_jobs" "$werror" &
race_tree=$!
# Whatever happens below, no build or test is left running behind the script.
fuzz=
trap 'kill -- -$run_tree -$race_tree ${fuzz:+-$fuzz} 2>/dev/null || true' EXIT

rc=0
# The end of a background build: its warning count, or its errors and the end of its log.
built() {
    local status=$1 tree=$2
    if [ "$status" -eq 0 ]; then
        echo "test: $tree built ($(grep -c ': warning: ' "$logs/$tree.log" || true) warnings; log: build-logs/$tree.log)"
        return 0
    fi
    grep -E ': (error|warning): ' "$logs/$tree.log" | head -n 40 || true
    tail -n 30 "$logs/$tree.log"
    echo "test: $tree FAILED to build; its log is build-logs/$tree.log"
    rc=1
}

bash "$root/scripts/build.sh" "$root/build-test" -DZEKO_SANITIZE=ON -DZEKO_BUILD_BENCH=OFF "$werror"
bash "$root/scripts/format.sh" --check || rc=1
# The fuzz targets run for a fixed time beside the tests, below them (nice 10); their summary
# follows the tests'.
setsid nice -n 10 bash "$root/scripts/fuzz.sh" >"$logs/fuzz.log" 2>&1 &
fuzz=$!
(cd "$root/build-test" && ctest --output-on-failure -j "$jobs") || rc=1
wait "$fuzz" || rc=1
cat "$logs/fuzz.log"

status=0
wait "$run_tree" || status=$?
built "$status" build
status=0
wait "$race_tree" || status=$?
if [ "$status" -eq 90 ]; then
    built 1 build-tsan
else
    built 0 build-tsan
    echo "test: race checks (build-tsan, ThreadSanitizer):"
    cat "$logs/race-checks.log"
    [ "$status" -eq 0 ] || rc=1
fi
exit $rc
