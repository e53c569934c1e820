#!/bin/bash
# Installs what is missing, builds Release into build/ and starts kvradmin,
# with the device simulator serving the built-in demo's devices until the
# program ends (Tools > Go Online then reaches them).
# Without a display it runs under Xvfb, saves build/screenshot.png at launch
# and build/screenshot-online.png after going online, and stops.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
. scripts/demo_sim.sh
. scripts/xvfb.sh
kvr_install_missing

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVR_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
    trap kvr_demo_sim_stop EXIT
    kvr_demo_sim_start build build || true
    ./build/kvradmin
    exit
fi

cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    kvr_demo_sim_stop
    kvr_xvfb_stop
}
trap cleanup EXIT
kvr_xvfb_start

kvr_demo_sim_start build build || true
./build/kvradmin &
APP_PID=$!
WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name "Korvel Remote admin" | head -1)
shot() {
    import -window root -crop "$(xdotool getwindowgeometry --shell "$WINDOW" | awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}END{print w"x"h"+0+0"}')" "$1"
    echo "Screenshot saved to $(pwd)/$1"
}
# The window is mapped once it has been laid out; give Qt Quick a moment to
# draw its first frames before taking the picture.
sleep 2
shot build/screenshot.png

# Tools > Go Online, from the keyboard.
xdotool windowfocus --sync "$WINDOW"
xdotool key alt+t g
if [ -n "${KVR_SIM_PID:-}" ]; then
    for _ in $(seq 100); do
        [ "$(grep -c 'connected from' "$KVR_SIM_LOG" 2>/dev/null)" -ge 2 ] && break
        sleep 0.1
    done
fi
sleep 2
shot build/screenshot-online.png
