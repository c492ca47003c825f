# Shared set-up of the end-to-end tests: a private X server, a private runtime folder and a
# program folder holding a copy of the binary, its sound and the supplied ledger.
# Usage: source lib.sh; e2e_setup "$1"   (the path of the built vakto binary)
set -euo pipefail

E2E_PIDS=()
e2e_cleanup() {
    local p
    for p in "${E2E_PIDS[@]:-}"; do
        [[ -n "$p" ]] && kill "$p" 2>/dev/null || true
    done
    sleep 0.2
    for p in "${E2E_PIDS[@]:-}"; do
        [[ -n "$p" ]] && kill -9 "$p" 2>/dev/null || true
    done
    [[ -n "${E2E_TMP:-}" ]] && rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

e2e_setup() {
    local bin=$1
    E2E_BIN=$bin
    E2E_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    E2E_TMP=$(mktemp -d /tmp/vakto-e2e.XXXXXX)
    export XDG_RUNTIME_DIR=$E2E_TMP/xdg
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    E2E_APP=$E2E_TMP/app
    mkdir -p "$E2E_APP/wav"
    cp "$bin" "$E2E_APP/vakto"
    cp "$(dirname "$bin")/wav/alarm.wav" "$E2E_APP/wav/"
    cp "$E2E_SRC/assets/vakto.dat" "$E2E_APP/vakto.dat"
    E2E_XCLOSE=$(dirname "$bin")/vakto_xclose
    # -displayfd picks a free display number and tells it once the server is ready.
    exec 3> >(cat > "$E2E_TMP/display")
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > "$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    local i
    for i in $(seq 100); do
        [[ -s "$E2E_TMP/display" ]] && break
        sleep 0.05
    done
    exec 3>&-
    export DISPLAY=:$(head -c 8 "$E2E_TMP/display" | tr -dc 0-9)
    [[ "$DISPLAY" != ":" ]] || fail "Xvfb did not start"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
}

# Starts the program copy in the background; sets VAKTO_PID.
start_vakto() {
    "$E2E_APP/vakto" > "$E2E_TMP/vakto.out" 2>&1 &
    VAKTO_PID=$!
    E2E_PIDS+=($VAKTO_PID)
}

# Waits (up to $2 seconds, default 10) for a mapped window named exactly $1; prints its id.
wait_window() {
    local name=$1 secs=${2:-10} id i
    for i in $(seq $((secs * 10))); do
        id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until the process $1 has ended (up to $2 seconds); returns its status through E2E_STATUS.
wait_exit() {
    local pid=$1 secs=${2:-10} i
    for i in $(seq $((secs * 10))); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null && E2E_STATUS=0 || E2E_STATUS=$?; return 0; }
        sleep 0.1
    done
    return 1
}

# Window geometry "x y w h" of window id $1 (absolute, as xwininfo reports it).
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

is_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"
}

# Starts a tray host (XEmbed system tray) and waits until it owns the tray selection.
start_tray() {
    local attempt i
    for attempt in 1 2 3; do
        trayer --edge bottom --align right --widthtype pixel --width 200 --height 32 --transparent false \
            > "$E2E_TMP/trayer.log" 2>&1 &
        TRAYER_PID=$!
        E2E_PIDS+=($TRAYER_PID)
        for i in $(seq 100); do
            xdotool search --classname trayer >/dev/null 2>&1 && { sleep 0.3; return 0; }
            kill -0 "$TRAYER_PID" 2>/dev/null || break
            sleep 0.1
        done
        echo "start_tray: attempt $attempt failed: $(tr '\n' ' ' < "$E2E_TMP/trayer.log")" >&2
        kill "$TRAYER_PID" 2>/dev/null || true
    done
    fail "the tray host did not start"
}

# A tray host, then the program; waits for its window and sets win, x, y, w, h.
start_with_window() {
    start_tray
    start_vakto
    win=$(wait_window Vakto 15) || fail "the main window did not appear"
    read -r x y w h < <(geometry "$win")
}

# A private session bus for this test; exports DBUS_SESSION_BUS_ADDRESS.
start_session_bus() {
    local addr pid
    { read -r addr; read -r pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    [[ -n "$addr" && -n "$pid" ]] || fail "dbus-daemon did not start"
    E2E_PIDS+=("$pid")
    export DBUS_SESSION_BUS_ADDRESS=$addr
}

# A StatusNotifier host (tests/support/snihost.cpp) on the session bus; sets SNI_PID, logs to $E2E_TMP/sni.log.
SNIHOST=
start_sni_host() {
    SNIHOST=$(dirname "$E2E_BIN")/vakto_snihost
    [[ -x "$SNIHOST" ]] || fail "$SNIHOST is missing (built with the tests)"
    "$SNIHOST" watcher > "$E2E_TMP/sni.log" 2>&1 &
    SNI_PID=$!
    E2E_PIDS+=($SNI_PID)
    local i
    for i in $(seq 100); do
        grep -q '^watching' "$E2E_TMP/sni.log" && return 0
        sleep 0.05
    done
    fail "the StatusNotifier host did not start: $(cat "$E2E_TMP/sni.log")"
}

# Polls a command until it succeeds, for up to $1 tenths of a second.
wait_for() {
    local tenths=$1 i
    shift
    for i in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# A headless Wayland compositor (weston, software renderer, screenshots allowed); exports
# WAYLAND_DISPLAY and QT_QPA_PLATFORM=wayland and drops the X display; sets WESTON_PID.
start_weston() {
    command -v weston > /dev/null || fail "weston is missing (scripts/install-deps)"
    weston --backend=headless-backend.so --use-pixman --debug --socket=vakto-e2e --idle-time=0 \
        --width=1024 --height=768 > "$E2E_TMP/weston.log" 2>&1 &
    WESTON_PID=$!
    E2E_PIDS+=($WESTON_PID)
    wait_for 100 test -S "$XDG_RUNTIME_DIR/vakto-e2e" || fail "weston did not start: $(cat "$E2E_TMP/weston.log")"
    export WAYLAND_DISPLAY=vakto-e2e QT_QPA_PLATFORM=wayland
    unset DISPLAY
}

# A screenshot of the whole Wayland output into $1 (weston-screenshooter writes into the current folder).
wayland_shot() {
    local dir=$E2E_TMP/shots
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && weston-screenshooter > /dev/null 2>&1) || return 1
    mv "$dir"/wayland-screenshot*.png "$1"
}
