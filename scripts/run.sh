#!/usr/bin/env bash
# Installs what is missing, builds the suite and starts the viewer on a simulated camera,
# under Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
# The programs and the benchmarks; the tests are built and run by scripts/test.sh.
source "$root/scripts/run-options.sh"
bash "$root/scripts/build.sh" "$root/build" "${run_options[@]}"
viewer="$root/build/bin/tolvane"
if [ -z "${DISPLAY:-}" ]; then
    echo "No display (DISPLAY is not set): running the viewer under xvfb-run, on a virtual screen nobody sees."
    echo "Set DISPLAY to an X server to see its windows."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$viewer" "$@"
fi
exec "$viewer" "$@"
