#!/usr/bin/env bash
# Builds the five libFuzzer targets in the sanitizer tree (build-test, clang-14, through
# scripts/build.sh) and runs them at the same time, each for a bounded time over its seed corpus.
# Prints one summary line per target; exits non-zero on a finding, after the end of the finding's
# log. The crashing input is left in build-test/fuzz/ as <target>-crash-*, -leak-* or -timeout-*.
#   FUZZ_SECONDS  run time per target (default 30)
#   ZEKO_JOBS     parallel compile jobs (default: one per core)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-test"
seconds="${FUZZ_SECONDS:-30}"

# target, seed corpus
fuzzers=(
    "pemblon_xml_fuzz pemblon/tests/fuzz/xml_corpus"
    "pemblon_multipart_fuzz pemblon/tests/fuzz/multipart_corpus"
    "ferrulon_number_fuzz ferrulon/tests/fuzz/corpus"
    "zeko_avi_fuzz platform/zeko/fuzz/corpus"
    "zeko_support_file_fuzz camera_manager/tests/fuzz/corpus"
)
names=()
for f in "${fuzzers[@]}"; do names+=("${f%% *}"); done
ZEKO_TARGETS="${names[*]}" bash "$root/scripts/build.sh" "$build" -DZEKO_SANITIZE=ON -DZEKO_BUILD_BENCH=OFF

# The working corpora grow in the build tree; the seeds in the repository stay as they are.
out="$build/fuzz"
mkdir -p "$out"
# The targets carry the sanitizers' options and leak suppressions themselves (zeko_sanitizer_defaults).
pids=()
for f in "${fuzzers[@]}"; do
    name=${f%% *}
    seeds=$root/${f#* }
    mkdir -p "$out/corpus/$name"
    "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$out/$name-" "$out/corpus/$name" "$seeds" >"$out/$name.log" 2>&1 &
    pids+=($!)
done

rc=0
for i in "${!names[@]}"; do
    name=${names[$i]}
    if wait "${pids[$i]}"; then
        runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$out/$name.log")
        units=$(sed -n 's/^stat::new_units_added: *//p' "$out/$name.log")
        echo "fuzz: $name: ${runs:-?}, ${units:-0} new units"
    else
        rc=1
        tail -n 60 "$out/$name.log"
        echo "fuzz: $name FAILED; its log is build-test/fuzz/$name.log"
    fi
done
exit $rc
