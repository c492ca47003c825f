#!/usr/bin/env bash
# Runs a command as a client of a private headless weston (software renderer, screenshots allowed),
# for the window tests on Wayland. Usage: weston-run.sh COMMAND [ARGS...]
set -euo pipefail
command -v weston > /dev/null || { echo "weston is missing (scripts/install-deps test)" >&2; exit 1; }
XDG_RUNTIME_DIR=$(mktemp -d /tmp/vakto-weston.XXXXXX)
export XDG_RUNTIME_DIR
# Without its fades a window closed by one test is gone before the next one's first screenshot.
printf '[shell]\nanimation=none\nclose-animation=none\nstartup-animation=none\n' > "$XDG_RUNTIME_DIR/weston.ini"
weston --backend=headless-backend.so --use-pixman --debug --socket=vakto-test --idle-time=0 \
    --config="$XDG_RUNTIME_DIR/weston.ini" --width=1024 --height=768 > "$XDG_RUNTIME_DIR/weston.log" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2> /dev/null || true; wait $weston_pid 2> /dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do
    [[ -S "$XDG_RUNTIME_DIR/vakto-test" ]] && break
    sleep 0.05
done
[[ -S "$XDG_RUNTIME_DIR/vakto-test" ]] || { cat "$XDG_RUNTIME_DIR/weston.log" >&2; exit 1; }
unset DISPLAY
WAYLAND_DISPLAY=vakto-test QT_QPA_PLATFORM=wayland "$@"
