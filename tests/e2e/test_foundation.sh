#!/usr/bin/env bash
# The real binary under Xvfb: the window, its digits, single instance, quit and close requests.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

start_with_window
[[ "$w" == 385 && "$h" == 195 ]] || fail "window is ${w}x${h}, not 385x195"

# The current time in the big digits, compared region by region with the digit pictures.
# Digit cells overlap by two pixels (26 wide at a 24-pixel pitch), so each is compared where it
# is not covered by its right neighbour.
check_digits() {
    local before after shot="$E2E_TMP/shot.png"
    before=$(date +%H%M)
    import -window root "$shot"
    after=$(date +%H%M)
    [[ "$before" == "$after" ]] || return 2
    local xs=(112 136 160 168 192) ws=(24 24 8 24 26) pics i d diff
    pics=("imgTime_${before:0:1}" "imgTime_${before:1:1}" "imgTime_12" "imgTime_${before:2:1}" "imgTime_${before:3:1}")
    for i in 0 1 2 3 4; do
        convert "$shot" -crop "${ws[$i]}x50+$((x + xs[$i]))+$((y + 34))" +repage "$E2E_TMP/a.png"
        convert "$E2E_SRC/assets/depot/${pics[$i]}.png" -background black -flatten \
            -crop "${ws[$i]}x50+0+0" +repage "$E2E_TMP/b.png"
        diff=$(compare -metric AE "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 || true)
        [[ "$diff" == 0 ]] || { echo "digit $i (${pics[$i]}) differs in $diff pixels" >&2; return 1; }
    done
    return 0
}
sleep 1.2 # the first tick has painted
rc=0; check_digits || rc=$?
if [[ $rc == 2 ]]; then rc=0; check_digits || rc=$?; fi
[[ $rc == 0 ]] || fail "the big digits do not show the current time"

# A second start ends at once, silently, with status 0, and the first keeps running.
start=$(date +%s%N)
"$E2E_APP/vakto" > "$E2E_TMP/second.out" 2>&1; second=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[[ $second == 0 ]] || fail "second start exited with $second"
[[ ! -s "$E2E_TMP/second.out" ]] || fail "second start printed: $(cat "$E2E_TMP/second.out")"
(( elapsed < 2000 )) || fail "second start took ${elapsed} ms"
kill -0 "$VAKTO_PID" || fail "the first instance ended"
[[ $(xdotool search --onlyvisible --name '^Vakto$' | wc -l) == 1 ]] || fail "more than one Vakto window"

# A window-manager close request hides the window; the program keeps running.
"$E2E_XCLOSE" "$win"
sleep 1
kill -0 "$VAKTO_PID" || fail "a close request ended the program"
! is_viewable "$win" || fail "a close request left the window shown"

# Map it again (the tray's way back is tested on its own) for the quit through the header X.
xdotool windowmap "$win" 2>/dev/null || true
sleep 0.5
is_viewable "$win" || fail "the window could not be shown again"
read -r x y w h < <(geometry "$win")
xdotool mousemove $((x + 310)) $((y + 10)) click 1
wait_exit "$VAKTO_PID" 5 || fail "a click on the header X did not end the program"
[[ $E2E_STATUS == 0 ]] || fail "quit with status $E2E_STATUS"
# The end of the session (SIGTERM) quits as the menu does: the ledger is written, status 0.
touch -d '2020-01-01 00:00' "$E2E_APP/vakto.dat"
start_vakto
wait_window Vakto 15 > /dev/null || fail "the main window did not appear again"
kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 5 || fail "SIGTERM did not end the program"
[[ $E2E_STATUS == 0 ]] || fail "SIGTERM quit with status $E2E_STATUS"
[[ $(stat -c %Y "$E2E_APP/vakto.dat") -gt $(date -d '2021-01-01' +%s) ]] || fail "the ledger was not saved at the end of the session"
echo "PASS"
