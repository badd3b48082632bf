#!/bin/bash
# The viewer's live view for a long while, its resident memory printed each minute: a long check
# outside the test run. Fails when what it holds after the first minute grows by more than 1 MB.
#   bash scripts/live-memory.sh [viewer program, default build/bin/tolvane]
# MINUTES (default 10) sets the length. Needs xvfb-run and xdotool; the simulator's files go to a
# fresh temporary folder.
set -euo pipefail
program=$(realpath "${1:-build/bin/tolvane}")
minutes=${MINUTES:-10}
[ "$minutes" -ge 2 ] || minutes=2
work=$(mktemp -d /tmp/live-memory.XXXXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/run.sh" <<'INNER'
#!/bin/bash
set -u
program=$1 minutes=$2 work=$3
cd "$(dirname "$program")"
ZEKO_REGISTRY_DIR=$work ZEKO_SIM_STATE_DIR=$work "$program" >"$work/viewer.log" 2>&1 &
viewer=$!
sleep 5
# The live tool, first on the tool bar of the window that has no window manager to move it.
xdotool mousemove 36 46 click 1
sleep 60
first=$(awk '/VmRSS/ {print $2}' /proc/$viewer/status)
echo "minute 1: $first kB"
last=$first
for ((m = 2; m <= minutes; ++m)); do
    sleep 60
    last=$(awk '/VmRSS/ {print $2}' /proc/$viewer/status)
    echo "minute $m: $last kB, threads $(ls /proc/$viewer/task | wc -l), files $(ls /proc/$viewer/fd | wc -l)"
done
kill $viewer
echo "growth after the first minute: $((last - first)) kB"
[ $((last - first)) -le 1024 ]
INNER
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/run.sh" "$program" "$minutes" "$work"
