#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds the whole tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$root" -B "$dir" -G "Unix Makefiles" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" -- --no-print-directory
