# Sourced by the scripts that run the program without a display: an X server
# of their own, on a display number that it picks free itself.
#
#   kvr_xvfb_start [Xvfb options]   starts Xvfb (1280 x 1024), exports DISPLAY
#                                   and a private XDG_RUNTIME_DIR, and waits
#                                   until it answers
#   kvr_xvfb_stop                   stops it and removes the runtime folder

kvr_xvfb_start() {
    KVR_XVFB_RUNTIME="$(mktemp -d)"
    chmod 700 "$KVR_XVFB_RUNTIME"
    export XDG_RUNTIME_DIR="$KVR_XVFB_RUNTIME"
    local numberFile="$KVR_XVFB_RUNTIME/display" fd
    exec {fd}>"$numberFile"
    Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp "$@" >/dev/null 2>&1 &
    KVR_XVFB_PID=$!
    exec {fd}>&-
    for _ in $(seq 100); do
        if [ -s "$numberFile" ]; then
            export DISPLAY=":$(head -1 "$numberFile")"
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        fi
        sleep 0.1
    done
    echo "Xvfb did not start." >&2
    return 1
}

kvr_xvfb_stop() {
    if [ -n "${KVR_XVFB_PID:-}" ]; then
        kill "$KVR_XVFB_PID" 2>/dev/null || true
        wait "$KVR_XVFB_PID" 2>/dev/null || true
        KVR_XVFB_PID=""
    fi
    [ -n "${KVR_XVFB_RUNTIME:-}" ] && rm -rf "$KVR_XVFB_RUNTIME"
    return 0
}
