#!/usr/bin/env bash
# Installs what is missing, builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test, then each fuzz target for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-test" -DZEKO_SANITIZE=ON -DZEKO_BUILD_BENCH=OFF
(cd "$root/build-test" && ctest --output-on-failure -j "$(nproc)")
if [ -x "$root/scripts/fuzz.sh" ]; then
    bash "$root/scripts/fuzz.sh"
fi
