#!/usr/bin/env bash
# The real binary under Xvfb with its clock ten times as fast: punched in on project 3, then ended
# the hard way. SIGKILL after four minutes leaves those four minutes in the ledger; the next start
# counts on from them and nothing twice. When the X server dies under it, the ledger is written on
# the way out.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[[ -f $FAKETIME_LIB ]] || fail "libfaketime is missing"

# Starts the program with its clock at $1, ten times as fast; waits for its window.
start_fast() {
    LD_PRELOAD=$FAKETIME_LIB FAKETIME="@$1 x10" "$E2E_APP/vakto" > "$E2E_TMP/vakto.out" 2>&1 &
    VAKTO_PID=$!
    E2E_PIDS+=($VAKTO_PID)
    win=$(wait_window Vakto 15) || fail "the main window did not appear: $(cat "$E2E_TMP/vakto.out")"
    read -r x y w h < <(geometry "$win")
}
click() {
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
    sleep 0.2
}
record() { tr -d '\r' < "$E2E_APP/vakto.dat" | awk -F'\t' -v n="$1" 'NR > 2 && ++i == n { print $2 ":" $3 ":" $4 }'; }
record_is() { [[ $(record 3) == "$1" ]]; }

start_tray
start_fast "2026-12-09 10:00:30"
click 87 47   # project button 3
click 263 142 # punch on
# Four full minutes pass in 24 real seconds; each reaches the file as it is counted.
wait_for 400 record_is "0:1:Project 3" || fail "the first punched minute did not reach the file: $(record 3)"
wait_for 400 record_is "0:4:Project 3" || fail "four punched minutes did not reach the file: $(record 3)"
kill -9 "$VAKTO_PID"
wait "$VAKTO_PID" 2>/dev/null || true
[[ $(record 3) == "0:4:Project 3" ]] || fail "after SIGKILL the ledger holds $(record 3)"
[[ $(record 2) == "0:0:Project 2" ]] || fail "record 2 changed: $(record 2)"
ls -a "$E2E_APP" | grep -q '\.new-' && fail "a temporary file was left: $(ls -a "$E2E_APP")"

# The next start counts on from the four; one more minute and punch off: exactly five.
start_fast "2026-12-09 11:00:30"
click 87 47
click 263 142
wait_for 400 record_is "0:5:Project 3" || fail "the minute after the restart did not reach the file: $(record 3)"
click 263 142 # punch off: the minutes go to the project once
sleep 0.5
[[ $(record 3) == "0:5:Project 3" ]] || fail "after punch off the ledger holds $(record 3)"
click 310 10 # header X
wait_exit "$VAKTO_PID" 5 || fail "the header X did not end the program"
[[ $(record 3) == "0:5:Project 3" ]] || fail "after quitting the ledger holds $(record 3)"

# The display goes away: the program writes the ledger on its way out and ends.
start_fast "2026-12-09 12:00:30"
click 87 47
click 263 142
wait_for 400 record_is "0:6:Project 3" || fail "no minute counted before the X server went: $(record 3)"
sleep 1
killed_at=$(date +%s.%N)
kill -9 "${E2E_PIDS[0]}" # Xvfb, started first
wait_exit "$VAKTO_PID" 10 || fail "the program runs on without its display"
grep -q 'connection broke' "$E2E_TMP/vakto.out" || fail "standard error says: $(cat "$E2E_TMP/vakto.out")"
[[ $(record 3) == "0:6:Project 3" ]] || fail "after the X server died the ledger holds $(record 3)"
written=$(stat -c %.9Y "$E2E_APP/vakto.dat")
# File times come from the kernel's coarse clock (a few milliseconds behind); the last minute's save
# was a second before.
awk -v w="$written" -v k="$killed_at" 'BEGIN { exit !(w >= k - 0.05) }' ||
    fail "the ledger was not written on the way out (written at $written, the X server died at $killed_at)"
echo "PASS"
