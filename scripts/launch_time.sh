#!/bin/bash
# How long the Release program takes from launch until its window is mapped
# with the first panel of the built-in demo drawn, under Xvfb: the time from
# starting build/kvradmin to its debug line "First panel drawn", which the
# window writes once the first frame showing a panel has been swapped.
#
#   scripts/launch_time.sh [RUNS]      (default 5; prints each run and the median)
#
# Each run starts with empty settings (its own XDG_CONFIG_HOME), so that the
# start-up rule opens the built-in demo.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/xvfb.sh
RUNS="${1:-5}"
[ -x build/kvradmin ] || { echo "Build Release first: ./run.sh or cmake --build build" >&2; exit 1; }

WORK="$(mktemp -d)"
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    kvr_xvfb_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
kvr_xvfb_start

times=()
for run in $(seq "$RUNS"); do
    export XDG_CONFIG_HOME="$WORK/config-$run"
    start=$(date +%s%N)
    coproc APP { QT_LOGGING_RULES="kvr.app.debug=true" exec ./build/kvradmin 2>&1; }
    APP_PID=$APP_PID
    elapsed=""
    while IFS= read -r -t 30 -u "${APP[0]}" line; do
        if [[ "$line" == *"First panel drawn"* ]]; then
            elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
            break
        fi
    done
    kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
    [ -n "$elapsed" ] || { echo "run $run: no panel was drawn within 30 s" >&2; exit 1; }
    echo "run $run: $elapsed ms"
    times+=("$elapsed")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "launch to first panel drawn, median of $RUNS: $median ms"
