#!/usr/bin/env bash
# Installs what is missing, builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang-14, asserts on), runs the five fuzz targets at the same time for a bounded time, then
# every test, then checks that the sources are formatted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-test" -DZEKO_SANITIZE=ON -DZEKO_BUILD_BENCH=OFF

rc=0
bash "$root/scripts/fuzz.sh" || rc=1
(cd "$root/build-test" && ctest --output-on-failure -j "$(nproc)") || rc=1
bash "$root/scripts/format.sh" --check || rc=1
exit $rc
