#!/usr/bin/env bash
# Builds the fuzz targets with clang-14 (GCC 12 has no libFuzzer) in a build directory of their
# own, then runs each for a bounded time over its seed corpus. Exits non-zero on a finding: the
# crashing input is left in build-fuzz/ as crash-*, leak-* or timeout-*.
#   FUZZ_SECONDS  run time per target (default 30)
#   FUZZ_JOBS     parallel compile jobs (default 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-3}"
cmake -S "$root/pemblon/tests/fuzz" -B "$build" \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target pemblon_xml_fuzz

# The working corpus grows in the build directory; the seeds in the repository stay as they are.
corpus="$build/corpus/xml"
mkdir -p "$corpus"
export ASAN_OPTIONS="detect_odr_violation=0:${ASAN_OPTIONS:-}"
"$build/pemblon_xml_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "$root/pemblon/tests/fuzz/xml_corpus"

# The multipart response parser: whole and chunked feeds must give the same parts.
cmake --build "$build" -j"$jobs" --target pemblon_multipart_fuzz
multipart_corpus="$build/corpus/multipart"
mkdir -p "$multipart_corpus"
"$build/pemblon_multipart_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/" "$multipart_corpus" "$root/pemblon/tests/fuzz/multipart_corpus"

# The film writer's target lives in the simulator's tree: a clang configuration of the whole
# tree, of which only the simulator core (instrumented for coverage) and the target are built.
sim_build="$root/build-fuzz-sim"
cmake -S "$root" -B "$sim_build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEKO_FUZZ=ON -DZEKO_BUILD_TESTS=OFF -DZEKO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address" >/dev/null
cmake --build "$sim_build" -j"$jobs" --target zeko_avi_fuzz
sim_corpus="$sim_build/corpus/avi"
mkdir -p "$sim_corpus"
"$sim_build/tests/zeko_avi_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$sim_build/" "$sim_corpus" "$root/platform/zeko/fuzz/corpus"

# Ferrulon's number parsing: a clang project of its own over the number's sources and the string
# type, like the XML target.
frx_build="$root/build-fuzz-ferrulon"
cmake -S "$root/ferrulon/tests/fuzz" -B "$frx_build" \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$frx_build" -j"$jobs" --target ferrulon_number_fuzz
frx_corpus="$frx_build/corpus/number"
mkdir -p "$frx_corpus"
"$frx_build/ferrulon_number_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$frx_build/" "$frx_corpus" "$root/ferrulon/tests/fuzz/corpus"

# The camera manager's support-file opening: a CMake project of its own (the opening code and
# the few services it calls), fed from memory.
cm_build="$root/build-fuzz-cm"
cmake -S "$root/camera_manager/tests/fuzz" -B "$cm_build" \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$cm_build" -j"$jobs" --target zeko_support_file_fuzz
cm_corpus="$cm_build/corpus/support"
mkdir -p "$cm_corpus"
"$cm_build/zeko_support_file_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$cm_build/" "$cm_corpus" "$root/camera_manager/tests/fuzz/corpus"
