# Sourced by run.sh and scripts/tour_screenshots.sh: starts the device
# simulator for the devices of the built-in demo (tools/demo/Demo.kvp: the
# Hall DSP on 127.0.0.1:10155, the Conference Endpoint on 127.0.0.1:10156)
# and stops it again.
#
#   kvr_demo_sim_start BUILD_DIR OUT_DIR [kvrsim options]
#       starts BUILD_DIR/kvrsim; its traffic log goes to OUT_DIR/kvrsim.log,
#       its own lines to OUT_DIR/kvrsim.out. Lines written into the FIFO
#       OUT_DIR/kvrsim.in reach its console, e.g.
#           echo 'ring "Telephone" Front Desk' > build/kvrsim.in
#       Returns 1 (and leaves nothing running) when the devices cannot be
#       served, e.g. because another program holds their ports.
#   kvr_demo_sim_stop
#       stops the simulator started here, and nothing else.

KVR_DEMO_DESIGN="tools/demo/Demo.kvp"

kvr_demo_sim_start() {
    local build="$1" out="$2"
    shift 2
    KVR_SIM_OUT="$out/kvrsim.out"
    KVR_SIM_LOG="$out/kvrsim.log"
    KVR_SIM_INPUT="$out/kvrsim.in"
    rm -f "$KVR_SIM_INPUT" "$KVR_SIM_OUT"
    mkfifo "$KVR_SIM_INPUT"
    # Held open here for reading and writing, the FIFO never ends: each line
    # written into it later reaches the console.
    exec {KVR_SIM_FD}<>"$KVR_SIM_INPUT"
    "$build/kvrsim" --design "$KVR_DEMO_DESIGN" --quiet --log "$KVR_SIM_LOG" "$@" \
        <&"$KVR_SIM_FD" >"$KVR_SIM_OUT" 2>&1 &
    KVR_SIM_PID=$!
    local devices
    devices=$(grep -c 'className="Halvern.Loom.Nodes.Devices.' "$KVR_DEMO_DESIGN")
    # One line per device once it listens; an early exit means it cannot.
    for _ in $(seq 100); do
        if [ "$(grep -c ' listening on ' "$KVR_SIM_OUT" 2>/dev/null)" -ge "$devices" ]; then
            return 0
        fi
        kill -0 "$KVR_SIM_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "The device simulator did not start; Go Online will not reach the demo's devices:" >&2
    cat "$KVR_SIM_OUT" >&2
    kvr_demo_sim_stop
    return 1
}

kvr_demo_sim_stop() {
    if [ -n "${KVR_SIM_PID:-}" ]; then
        kill "$KVR_SIM_PID" 2>/dev/null || true
        wait "$KVR_SIM_PID" 2>/dev/null || true
        KVR_SIM_PID=""
    fi
    if [ -n "${KVR_SIM_FD:-}" ]; then
        exec {KVR_SIM_FD}>&-
        KVR_SIM_FD=""
    fi
    [ -n "${KVR_SIM_INPUT:-}" ] && rm -f "$KVR_SIM_INPUT"
    return 0
}

# Sends command lines to a simulated device as another station on its
# network would: kvr_demo_station PORT 'SA "Lectern">1=-6.0' ...
kvr_demo_station() {
    local port="$1" fd
    shift
    exec {fd}<>"/dev/tcp/127.0.0.1/$port"
    local command
    for command in "$@"; do
        printf '%s\r' "$command" >&"$fd"
    done
    # Long enough for the device to take them before the connection goes.
    sleep 0.3
    exec {fd}>&-
}
