#!/usr/bin/env bash
# The real binary under Xvfb: select a project, punch on and off, rename it in the description
# editor, quit; then a broken ledger ends the program with a report and leaves the file alone.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

start_with_window
click() {
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
    sleep 0.3
}
record() { tr -d '\r' < "$E2E_APP/vakto.dat" | awk -F'\t' -v n="$1" 'NR > 2 && ++i == n { print $2 ":" $3 ":" $4 }'; }

click 87 47   # project button 3
click 263 142 # punch on (the dial's lower-left button)
click 263 142 # punch off: 0 minutes go to project 3 and the file is rewritten
[[ $(record 3) == "0:0:Project 3" ]] || fail "record 3 after punching: $(record 3)"

click 40 177 # the description line opens the editor
xdotool key ctrl+a
xdotool type --delay 20 "Website"
sleep 0.3
click 96 177 # confirm
[[ $(record 3) == "0:0:Website" ]] || fail "record 3 after renaming: $(record 3)"
[[ $(record 2) == "0:0:Project 2" ]] || fail "record 2 changed: $(record 2)"
[[ $(head -c 17 "$E2E_APP/vakto.dat" | od -An -c | tr -d ' \n') == '#\th\tm\tproject\r\n\r\n' ]] ||
    fail "the file does not start with the header line and an empty line"

click 310 10 # header X
wait_exit "$VAKTO_PID" 5 || fail "the header X did not end the program"
[[ $E2E_STATUS == 0 ]] || fail "quit with status $E2E_STATUS"
[[ $(record 3) == "0:0:Website" ]] || fail "record 3 after quitting: $(record 3)"

# A broken ledger: a report on standard error and in a box, a non-zero status, the file untouched.
printf '#\th\tm\tproject\r\n\r\n1\t0\t0\tA\r\n2\tabc\t0\tB\r\n' > "$E2E_APP/vakto.dat"
before=$(md5sum < "$E2E_APP/vakto.dat")
start_vakto
box=""
for i in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name '^Vakto$' 2>/dev/null || true); do
        read -r _ _ bw bh < <(geometry "$id")
        [[ "$bw" != 385 ]] && box=$id
    done
    [[ -n "$box" ]] && break
    sleep 0.1
done
[[ -n "$box" ]] || fail "no error box appeared"
read -r bx by bw bh < <(geometry "$box")
xdotool mousemove $((bx + bw / 2)) $((by + 10)) click 1
xdotool key Return
wait_exit "$VAKTO_PID" 5 || fail "the program did not end after the error box"
[[ $E2E_STATUS != 0 ]] || fail "a broken ledger ended with status 0"
grep -q 'vakto.dat: line 4: the hours field "abc" is not a number' "$E2E_TMP/vakto.out" ||
    fail "standard error says: $(cat "$E2E_TMP/vakto.out")"
[[ $(md5sum < "$E2E_APP/vakto.dat") == "$before" ]] || fail "the broken ledger was rewritten"

# The session ends (SIGTERM) while the error box waits for its OK: the program ends at once,
# still with a non-zero status and the file untouched.
start_vakto
wait_for 100 grep -q 'is not a number' "$E2E_TMP/vakto.out" || fail "no report for the broken ledger"
sleep 0.5
kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 3 || fail "SIGTERM did not end the program while its error box was shown"
[[ $E2E_STATUS != 0 ]] || fail "ended with status 0 after a broken ledger"
[[ $(md5sum < "$E2E_APP/vakto.dat") == "$before" ]] || fail "the broken ledger was rewritten at SIGTERM"
echo "PASS"
