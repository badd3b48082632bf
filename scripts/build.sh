#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds the whole tree with Ninja,
# through ccache when it is installed. ZEKO_TARGETS="a b" builds only those targets; ZEKO_JOBS
# limits the parallel jobs (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the build tree, so that clones and worktrees share one cache.
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
    export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi
# A tree configured by an older build.sh with another generator is configured anew.
if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
fi
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
targets=()
for t in ${ZEKO_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j "${ZEKO_JOBS:-$(nproc)}" "${targets[@]}"
