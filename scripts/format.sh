#!/usr/bin/env bash
# format.sh [--check] [files...]: formats the repository's C and C++ files in place with
# clang-format-14 and the repository's .clang-format (every tracked file when none is named).
# With --check nothing is changed: the files that differ are listed and the exit status is 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
if [ $# -eq 0 ]; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc' '*.c')
else
    files=("$@")
fi
[ ${#files[@]} -gt 0 ] || exit 0

if [ "$check" -eq 0 ]; then
    printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -n 16 clang-format-14 -i --style=file
    exit 0
fi

# Each batch collects its report before printing names, so parallel batches do not interleave.
differing=$(printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -n 32 sh -c \
    'report=$(clang-format-14 --style=file --dry-run --Werror "$@" 2>&1) ||
     printf "%s\n" "$report" | sed -n "s/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p" | uniq' sh |
    sort -u)
if [ -n "$differing" ]; then
    echo "format: these files differ from .clang-format (bash scripts/format.sh formats them):"
    echo "$differing" | sed 's/^/  /'
    exit 1
fi
