#!/bin/bash
# Takes the README tour's screenshots: the Release program under Xvfb with
# the device simulator serving the built-in demo's devices, driven with
# xdotool (keys for the menus, clicks on the page arrows) while another
# station on the devices' network sets values, combines rooms and places a
# call, once with the Light and once with the Dark skin.
#
#   scripts/tour_screenshots.sh [OUT_DIR]     (default docs/screenshots)
#
# Writes tour-<skin>-offline.png (at launch), -online.png (the microphones,
# online, with values set at the device), -meters.png (the mic mixer and the
# live meters), -rooms.png (Hall A and Hall B combined), -call.png (the
# dialer in a call), tour-send.png (Tools > Send to Mobile Device...) and
# tour-receive.png (receive mode, from the scene's setup menu).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/demo_sim.sh
. scripts/xvfb.sh
OUT="${1:-docs/screenshots}"
ARCHIVER=build/tools/archive/kvrarchive
for tool in build/kvradmin build/kvrsim "$ARCHIVER"; do
    [ -x "$tool" ] || { echo "Build Release first: ./run.sh or cmake --build build" >&2; exit 1; }
done
mkdir -p "$OUT"

WORK="$(mktemp -d)"
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    kvr_demo_sim_stop
    kvr_xvfb_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
# A white root window around the dialogs that stand out of the window.
kvr_xvfb_start -wr

DSP=10155
ENDPOINT=10156

# The window sits at (0, 0) without a frame. Measured on this window (the
# demo's canvas, 282 x 502 at 96 dpi): the page arrows are centred 43 px above
# the window's bottom edge, 26 px in from its sides; the setup menu's button
# is 24 px in from the right at 83 px from the top, and its fifth entry,
# Receive, drops to 248 px.
W=0
H=0
window_size() {
    eval "$(xdotool getwindowgeometry --shell "$WINDOW" | grep -E '^(WIDTH|HEIGHT)=')"
    W=$WIDTH
    H=$HEIGHT
}
click_at() {
    xdotool mousemove "$1" "$2" click 1
    sleep 0.6
}
next_page() { for _ in $(seq "${1:-1}"); do click_at $(( W - 26 )) $(( H - 43 )); done; }
previous_page() { for _ in $(seq "${1:-1}"); do click_at 26 $(( H - 43 )); done; }
shot() {
    import -window root -crop "${W}x${H}+0+0" +repage "$OUT/$1"
    echo "saved $OUT/$1"
}
# The window with the dialog titled $2 over it.
shot_with_dialog() {
    local dialog
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "$2" | grep -v "^$WINDOW$" | head -1 || true)
    [ -n "$dialog" ] || { echo "no dialog \"$2\" to take" >&2; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$dialog" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    sleep 1
    import -window root -crop "$(( X + WIDTH > W ? X + WIDTH : W ))x$(( Y + HEIGHT > H ? Y + HEIGHT : H ))+0+0" \
        +repage "$OUT/$1"
    echo "saved $OUT/$1"
    DIALOG=$dialog
}
# Asks the device as another station and prints its answer.
ask() {
    local fd answer=""
    exec {fd}<>"/dev/tcp/127.0.0.1/$1"
    printf '%s\r' "$2" >&"$fd"
    IFS= read -r -d $'\r' -t 2 answer <&"$fd" || true
    exec {fd}>&-
    printf '%s' "$answer"
}

tour() {
    local skin="$1" lower
    lower=$(echo "$skin" | tr '[:upper:]' '[:lower:]')
    export XDG_CONFIG_HOME="$WORK/config-$lower"
    if [ "$skin" != "Light" ]; then
        # The start-up rule opens a received panel before the built-in demo:
        # the demo with another skin stands in for one.
        local designs="$WORK/designs-$lower"
        mkdir -p "$designs" "$XDG_CONFIG_HOME/Halvern"
        python3 tools/demo/make_demo.py --skin "$skin" --out "$designs"
        "$ARCHIVER" pack "$designs/download.cpn" "$designs/Demo.cpf" "$designs/Demo.kvp" \
            tools/demo/harbour_room.png >/dev/null
        printf '[Path]\nDesigns=%s\n' "$designs" >"$XDG_CONFIG_HOME/Halvern/Korvel Remote admin 3.0.conf"
    fi
    kvr_demo_sim_start build "$WORK"
    ./build/kvradmin >"$WORK/kvradmin-$lower.log" 2>&1 &
    APP_PID=$!
    WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name "Korvel Remote admin" | head -1)
    window_size
    sleep 2
    shot "tour-$lower-offline.png"

    # Tools > Go Online; both devices connect.
    xdotool windowfocus --sync "$WINDOW"
    xdotool key alt+t g
    for _ in $(seq 100); do
        [ "$(grep -c 'connected from' "$KVR_SIM_LOG")" -ge 2 ] && break
        sleep 0.1
    done
    kvr_demo_station $DSP 'SA "Lectern">1=-8.5' 'SA "Handheld">1=-3.0' 'SA "Panel Left">1=-15.0' \
        'SA "Panel Right">1=-15.0' 'SA "Panel Right">2=O' 'SA "Programme">1=-6.0' 'SS 2 ' \
        'SA "Mic Mixer">2>1=O' 'SA "Mic Mixer">2>3=O' 'SA "Mic Mixer">1=F' \
        'SA "Music Source">1=3' 'SA "Music Level">1=-12.0' 'SA "Room EQ">1>1=3.0' 'SA "Room EQ">2>1=-1.5' \
        'SA "Room EQ">3>1=2.0' 'SA "Room Status">1>1=1' 'SA "Room Status">1>3=1' 'SA "Screen Source">1=2'
    next_page 2
    sleep 1.5
    shot "tour-$lower-online.png"
    next_page
    sleep 1.5
    shot "tour-$lower-meters.png"

    kvr_demo_station $DSP 'SRC 1,[1,2]'
    previous_page 2
    sleep 1.5
    shot "tour-$lower-rooms.png"

    # A call from the conference room: the far end answers after ringing.
    kvr_demo_station $ENDPOINT 'SA "Telephone">16=CALL 5550147'
    next_page 5
    for _ in $(seq 100); do
        [[ "$(ask $ENDPOINT 'GA"Telephone">16')" == *ACTIVE* ]] && break
        sleep 0.2
    done
    sleep 3
    shot "tour-$lower-call.png"

    if [ "$skin" = "Light" ]; then
        # Setup menu > Receive Control Panel...: the box waits for a sender.
        click_at $(( W - 24 )) 83
        click_at 165 248
        shot_with_dialog tour-receive.png "Receive"
        xdotool windowfocus --sync "$DIALOG" key Escape 2>/dev/null || true
        sleep 1
        # Tools > Send to Mobile Device...: the address dialog over the window.
        xdotool windowfocus --sync "$WINDOW"
        xdotool key alt+t s
        shot_with_dialog tour-send.png "Send"
    fi

    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
    kvr_demo_sim_stop
}

tour Light
tour Dark
