#!/usr/bin/env bash
# Ten starts at the same moment leave exactly one program running, and it holds the lock of the
# program folder (so it alone reads and writes the ledger). A lock left by a killed instance
# does not block the next start.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
start_tray

pids=()
for i in $(seq 10); do
    "$E2E_APP/vakto" > "$E2E_TMP/start$i.out" 2>&1 &
    pids+=($!)
    E2E_PIDS+=($!)
done
wait_window Vakto 20 > /dev/null || fail "no window appeared"
sleep 2
running=()
for p in "${pids[@]}"; do
    if kill -0 "$p" 2>/dev/null; then running+=("$p"); else wait "$p" || fail "a second start exited with $?"; fi
done
[[ ${#running[@]} == 1 ]] || fail "${#running[@]} instances are running"
[[ $(xdotool search --onlyvisible --name '^Vakto$' | wc -l) == 1 ]] || fail "more than one window"
owner=$(head -n 1 "$E2E_APP/.vakto.lock")
[[ "$owner" == "${running[0]}" ]] || fail "the lock belongs to $owner, the running instance is ${running[0]}"

# A crash leaves the lock behind; the next start takes it over at once.
kill -9 "${running[0]}"
wait "${running[0]}" 2>/dev/null || true
[[ -f "$E2E_APP/.vakto.lock" ]] || fail "the killed instance left no lock (test cannot check the takeover)"
start_vakto
wait_window Vakto 15 > /dev/null || fail "a stale lock blocked the start"
kill -0 "$VAKTO_PID" || fail "the new instance ended"
echo "PASS"
