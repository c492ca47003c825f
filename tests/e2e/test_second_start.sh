#!/usr/bin/env bash
# Started again from the menu while it sits in the tray, Vakto shows its window: the second start
# asks the running instance, ends at once with status 0 and opens nothing of its own. A running
# instance that does not answer leaves the second start to end as before.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
start_with_window

# Runs a second start; sets second (its status) and elapsed (milliseconds).
second_start() {
    local t0
    t0=$(date +%s%N)
    "$E2E_APP/vakto" > "$E2E_TMP/second.out" 2>&1 && second=0 || second=$?
    elapsed=$((($(date +%s%N) - t0) / 1000000))
    [[ ! -s "$E2E_TMP/second.out" ]] || fail "the second start printed: $(cat "$E2E_TMP/second.out")"
}
wait_viewable() {
    local i
    for i in $(seq $(($1 * 10))); do
        is_viewable "$win" && return 0
        sleep 0.1
    done
    return 1
}
one_program() {
    kill -0 "$VAKTO_PID" 2> /dev/null || fail "the running instance ended"
    [[ $(xdotool search --onlyvisible --name '^Vakto$' | wc -l) -le 1 ]] || fail "more than one Vakto window"
    [[ $(pgrep -cxf "$E2E_APP/vakto") == 1 ]] || fail "$(pgrep -cxf "$E2E_APP/vakto") programs are running"
}

xdotool mousemove $((x + 350)) $((y + 10)) click 1 # header V: hidden to the tray
for i in $(seq 30); do is_viewable "$win" || break; sleep 0.1; done
! is_viewable "$win" || fail "the header V did not hide the window"

second_start
[[ $second == 0 ]] || fail "the second start ended with status $second"
((elapsed < 2000)) || fail "the second start took $elapsed ms"
wait_viewable 2 || fail "the hidden window was not shown again"
xprop -id "$win" _NET_WM_STATE 2> /dev/null | grep -q HIDDEN && fail "the window came back minimised"
one_program

# Shown already: a second start changes nothing but still ends at once.
second_start
[[ $second == 0 && $elapsed -lt 2000 ]] || fail "second start on a shown window: status $second, $elapsed ms"
is_viewable "$win" || fail "the window went away"
one_program

# A running instance that cannot answer (stopped): the second start gives up after a second.
xdotool mousemove $((x + 350)) $((y + 10)) click 1
for i in $(seq 30); do is_viewable "$win" || break; sleep 0.1; done
kill -STOP "$VAKTO_PID"
second_start
kill -CONT "$VAKTO_PID"
[[ $second == 0 ]] || fail "the unanswered second start ended with status $second"
((elapsed >= 900 && elapsed < 2500)) || fail "the unanswered second start took $elapsed ms"
# The request waited in the socket; the instance shows its window once it runs again, and the
# answer to a second start that has gone does not harm it.
wait_viewable 5 || fail "the window was not shown after the instance went on"
sleep 0.5
one_program
echo "PASS"
