#!/bin/bash
# The viewer's live view at 60 images a second for a long while, its resident memory printed after
# the first minute and then every few minutes: a long check outside the test run. Fails when what
# it holds after the first minute grows by more than 1 MB, or when the viewer ends on its own.
#   bash scripts/live-memory.sh [viewer program, default build/bin/tolvane]
# MINUTES (default 30) sets the length, EVERY (default 5) the minutes between samples. Needs
# xvfb-run and xdotool; the simulator's files go to a fresh temporary folder, and its colour
# camera gets a pixel clock fast enough for 60 images a second of the whole sensor.
set -euo pipefail
program=$(realpath "${1:-build/bin/tolvane}")
minutes=${MINUTES:-30}
every=${EVERY:-5}
[ "$minutes" -ge 2 ] || minutes=2
[ "$every" -ge 1 ] || every=1
work=$(mktemp -d /tmp/live-memory.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The clock the viewer's settings ask for (30 MHz) is below this camera's least, so it runs at
# 100 MHz, where 1280 x 1024 allows 71 images a second, and starts at its default of 60.
cat >"$work/cameras.txt" <<'CAMERAS'
[camera]
serial = 4102812345
sensor = ZK1480-C
model = ZK1480LE-C
clock_min = 100
clock_max = 100
clock = 100
frame_rate = 60
CAMERAS

cat >"$work/run.sh" <<'INNER'
#!/bin/bash
set -u
program=$1 minutes=$2 every=$3 work=$4
cd "$(dirname "$program")"
ZEKO_REGISTRY_DIR=$work ZEKO_SIM_STATE_DIR=$work ZEKO_SIM_CAMERAS=$work/cameras.txt "$program" \
    >"$work/viewer.log" 2>&1 &
viewer=$!
resident() {
    if ! kill -0 $viewer 2>/dev/null; then
        echo "the viewer ended; its output:" >&2
        cat "$work/viewer.log" >&2
        exit 1
    fi
    awk '/VmRSS/ {print $2}' /proc/$viewer/status
}
sleep 5
# The live tool, first on the tool bar of the window that has no window manager to move it.
xdotool mousemove 36 46 click 1
sleep 60
first=$(resident)
echo "minute 1: $first kB"
last=$first
for ((m = every; m <= minutes; m += every)); do
    [ $m -gt 1 ] || continue
    sleep $(((m == every ? m - 1 : every) * 60))
    last=$(resident)
    echo "minute $m: $last kB, threads $(ls /proc/$viewer/task | wc -l), files $(ls /proc/$viewer/fd | wc -l)"
done
# The viewer leaves before the X server goes: one that loses its display while live keeps
# running, so it gets 10 s and then SIGKILL.
kill $viewer
for ((tenths = 0; tenths < 100; ++tenths)); do
    kill -0 $viewer 2>/dev/null || break
    sleep 0.1
done
kill -9 $viewer 2>/dev/null || true
echo "growth after the first minute: $((last - first)) kB"
[ $((last - first)) -le 1024 ]
INNER
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/run.sh" "$program" "$minutes" "$every" "$work"
