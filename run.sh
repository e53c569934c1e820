#!/bin/bash
# Installs what is missing, builds Release into build/ and starts kvradmin.
# Without a display it runs under Xvfb, saves build/screenshot.png and stops.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kvr_install_missing

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVR_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
    exec ./build/kvradmin
fi

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
DISPLAY_NUM=":$(( 90 + RANDOM % 9 ))"
Xvfb "$DISPLAY_NUM" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
export DISPLAY="$DISPLAY_NUM"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

./build/kvradmin &
APP_PID=$!
# The window is mapped once it has been laid out; give Qt Quick a moment to
# draw its first frames before taking the picture.
timeout 30 xdotool search --sync --onlyvisible --name "Korvel Remote admin" >/dev/null
sleep 2
import -window root -crop "$(xdotool search --onlyvisible --name 'Korvel Remote admin' getwindowgeometry --shell | awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}END{print w"x"h"+0+0"}')" build/screenshot.png
echo "Screenshot saved to $(pwd)/build/screenshot.png"
