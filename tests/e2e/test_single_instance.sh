#!/usr/bin/env bash
# Ten starts at the same moment leave exactly one program running, and it holds the lock beside
# the ledger (so it alone reads and writes the ledger). A lock left by a killed instance does not
# block the next start. A user's ledger reached through a linked folder, from another session
# (another runtime folder, or none), is still guarded by the one lock.
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
owner=$(head -n 1 "$E2E_APP/.vakto.dat.lock")
[[ "$owner" == "${running[0]}" ]] || fail "the lock belongs to $owner, the running instance is ${running[0]}"

# A crash leaves the lock behind; the next start takes it over at once.
kill -9 "${running[0]}"
wait "${running[0]}" 2>/dev/null || true
[[ -f "$E2E_APP/.vakto.dat.lock" ]] || fail "the killed instance left no lock (test cannot check the takeover)"
start_vakto
wait_window Vakto 15 > /dev/null || fail "a stale lock blocked the start"
kill -0 "$VAKTO_PID" || fail "the new instance ended"
kill "$VAKTO_PID"
wait_exit "$VAKTO_PID" 10 || fail "the instance did not end on SIGTERM"

# A program folder without a ledger: the user's own in $XDG_DATA_HOME/vakto, made at the first start.
user_app=$E2E_TMP/user-app
mkdir -p "$user_app/wav"
cp "$E2E_APP/vakto" "$user_app/"
cp "$E2E_APP/wav/alarm.wav" "$user_app/wav/"
data=$E2E_TMP/data/share
XDG_DATA_HOME=$data "$user_app/vakto" > "$E2E_TMP/user.out" 2>&1 &
first=$!
E2E_PIDS+=($first)
wait_window Vakto 15 > /dev/null || fail "no window for the user's ledger: $(cat "$E2E_TMP/user.out")"
[[ $(stat -c %a "$E2E_TMP/data" "$data" "$data/vakto" | sort -u) == 700 ]] ||
    fail "the data folders are not private: $(stat -c '%n %a' "$E2E_TMP/data" "$data" "$data/vakto")"
[[ $(head -n 1 "$data/vakto/.vakto.dat.lock") == "$first" ]] || fail "the user's ledger is not locked by $first"

# Through a link to the program folder and one to the data folder, with another runtime folder
# or with none: each start ends with status 0, and the first runs on alone.
ln -s "$user_app" "$E2E_TMP/app-link"
ln -s "$E2E_TMP/data" "$E2E_TMP/data-link"
other_runtime=$E2E_TMP/xdg-other
mkdir -m 700 "$other_runtime"
for runtime in "$other_runtime" ""; do
    if [[ -n "$runtime" ]]; then
        XDG_RUNTIME_DIR=$runtime XDG_DATA_HOME=$E2E_TMP/data-link/share "$E2E_TMP/app-link/vakto" \
            > "$E2E_TMP/linked.out" 2>&1 &
    else
        env -u XDG_RUNTIME_DIR XDG_DATA_HOME=$E2E_TMP/data-link/share "$E2E_TMP/app-link/vakto" \
            > "$E2E_TMP/linked.out" 2>&1 &
    fi
    second=$!
    E2E_PIDS+=($second)
    wait_exit "$second" 5 || fail "a start through links (runtime folder '${runtime:-unset}') runs beside the first"
    [[ $E2E_STATUS == 0 ]] || fail "a start through links ended with $E2E_STATUS: $(cat "$E2E_TMP/linked.out")"
    kill -0 "$first" || fail "the first instance ended"
    [[ $(xdotool search --onlyvisible --name '^Vakto$' | wc -l) == 1 ]] || fail "more than one window"
done
echo "PASS"
