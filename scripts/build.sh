#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds the whole tree with Ninja,
# through ccache when it is installed. ZEKO_TARGETS="a b" builds only those targets; ZEKO_JOBS
# limits the parallel jobs (default: one per core).
#
# A sanitizer tree (-DZEKO_SANITIZE=ON) is built with clang-14 and libFuzzer's instrumentation,
# so that the same compiled libraries serve the tests and the fuzz targets (GCC has no libFuzzer).
# A ThreadSanitizer tree (-DZEKO_TSAN=ON) is built with clang-14 too, without libFuzzer.
# Other trees use the system compiler (GCC).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the build tree, so that clones and worktrees share one cache.
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
    export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
    # Lets ccache cache the sources that use a precompiled header (see zeko_precompile_wx).
    export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
fi
# clang for a sanitizer tree unless the caller names a compiler; the compiler is chosen when a
# tree is first configured.
clang=0
fuzz=0
for arg in "$@"; do
    case "$arg" in
        -DZEKO_SANITIZE=ON) clang=1 fuzz=1 ;;
        -DZEKO_TSAN=ON) clang=1 ;;
    esac
done
for arg in "$@"; do
    case "$arg" in -DCMAKE_CXX_COMPILER=*) clang=-1 ;; esac
done
# A tree configured with another generator or compiler (an older build.sh) is configured anew.
cache="$dir/CMakeCache.txt"
if [ -f "$cache" ]; then
    have=0
    if sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache" | grep -q 'clang'; then have=1; fi
    if ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache" || { [ "$clang" -ge 0 ] && [ "$have" -ne "$clang" ]; }; then
        rm -rf "$cache" "$dir/CMakeFiles"
    fi
fi
compiler=()
if [ "$clang" -eq 1 ]; then
    [ "$fuzz" -eq 0 ] || compiler=(-DZEKO_FUZZ=ON)
    [ -f "$cache" ] || compiler+=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
fi
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "${compiler[@]}" "$@" >/dev/null
targets=()
for t in ${ZEKO_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j "${ZEKO_JOBS:-$(nproc)}" "${targets[@]}"
