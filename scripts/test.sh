#!/usr/bin/env bash
# Installs what is missing, builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs each fuzz target for a bounded time, then every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-test" -DZEKO_SANITIZE=ON -DZEKO_BUILD_BENCH=OFF

# The fuzzers' own output is long; it is kept in a log and shown only when a target finds something.
fuzz_rc=0
if [ -x "$root/scripts/fuzz.sh" ]; then
    mkdir -p "$root/build-test"
    if bash "$root/scripts/fuzz.sh" >"$root/build-test/fuzz.log" 2>&1; then
        grep -E '^(Done [0-9]+ runs|stat::new_units_added)' "$root/build-test/fuzz.log" | sed 's/^/fuzz: /'
    else
        fuzz_rc=1
        tail -n 60 "$root/build-test/fuzz.log"
        echo "fuzz: a target failed; the full log is build-test/fuzz.log"
    fi
fi

(cd "$root/build-test" && ctest --output-on-failure -j "$(nproc)")
exit $fuzz_rc
