#!/usr/bin/env bash
# The real binary under Xvfb with a tray host: hidden to the tray by the header V across a full
# minute with nothing due, it sleeps through it; started again, the window comes back showing the
# new minute (the minute digit is that digit's picture). That the first frame already shows it is
# checked with the fake clock in the window tests.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[[ -f $FAKETIME_LIB ]] || fail "libfaketime is missing"
DEPOT=$E2E_SRC/assets/depot

# The window's cell of the last minute digit (x 192, y 34, 26 x 50), as the screen shows it.
minute_cell() {
    import -window root -crop "26x50+$((x + 192))+$((y + 34))" +repage "$1"
}
# True when the cell $1 is, pixel for pixel, the digit picture $2.
shows_digit() {
    [[ $(compare -metric AE "$1" "$DEPOT/imgTime_$2.png" null: 2>&1 || true) == 0 ]]
}

start_tray
# The clock starts at 10:00:50 and runs at the real speed.
LD_PRELOAD=$FAKETIME_LIB FAKETIME="@2026-12-09 10:00:50" "$E2E_APP/vakto" > "$E2E_TMP/vakto.out" 2>&1 &
VAKTO_PID=$!
E2E_PIDS+=($VAKTO_PID)
win=$(wait_window Vakto 15) || fail "the main window did not appear: $(cat "$E2E_TMP/vakto.out")"
read -r x y w h < <(geometry "$win")
sleep 0.5
minute_cell "$E2E_TMP/before.png"
shows_digit "$E2E_TMP/before.png" 0 || fail "10:00 is not shown before hiding"

xdotool mousemove $((x + 350)) $((y + 10)) click 1 # the header V
wait_for 30 bash -c "! xwininfo -id $win | grep -q IsViewable" || fail "the header V did not hide the window"
echo "ok: hidden to the tray at 10:00:5x"
sleep 14 # past 10:01:00, where nothing was due

# A second start shows the first one's window, at 10:01.
"$E2E_APP/vakto" > "$E2E_TMP/second.out" 2>&1 ||
    fail "the second start failed: $(cat "$E2E_TMP/second.out")"
wait_for 30 is_viewable "$win" || fail "the window did not come back"
sleep 0.3
minute_cell "$E2E_TMP/after.png"
shows_digit "$E2E_TMP/after.png" 1 || {
    cp "$E2E_TMP/after.png" /tmp/vakto-asleep-after.png
    fail "shown again at 10:01, the minute digit is not 1 (see /tmp/vakto-asleep-after.png)"
}
echo "ok: shown again, the digits are those of 10:01"

kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 10 || fail "the program did not end on SIGTERM"
[[ $E2E_STATUS == 0 ]] || fail "the program ended with status $E2E_STATUS: $(cat "$E2E_TMP/vakto.out")"
echo "PASS: asleep in the tray, awake with the right time"
