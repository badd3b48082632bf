#!/usr/bin/env bash
# Installs what is missing, builds the suite and starts the viewer on a simulated camera,
# under Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build"
viewer="$root/build/bin/tolvane"
if [ ! -x "$viewer" ]; then
    echo "The viewer is not built yet; running the library's tests instead."
    (cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
    exit 0
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "No display (DISPLAY is not set): running the viewer under xvfb-run, on a virtual screen nobody sees."
    echo "Set DISPLAY to an X server to see its windows."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$viewer" "$@"
fi
exec "$viewer" "$@"
