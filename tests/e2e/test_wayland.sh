#!/usr/bin/env bash
# The real binary on Wayland (weston, headless) with a StatusNotifier host, as on a Wayland desktop:
# it starts without printing anything, keeps ticking, comes back from the tray, and quits on SIGTERM
# with the ledger written; no GL driver is loaded for its software-painted window. When the
# compositor dies under it, it writes the ledger on its way out.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
start_session_bus
start_sni_host
start_weston

touch -d '2001-01-01 00:00:00' "$E2E_APP/vakto.dat"
before=$(stat -c %Y "$E2E_APP/vakto.dat")
start_vakto
wait_for 100 grep -q '^registered ' "$E2E_TMP/sni.log" || fail "the program did not start: $(cat "$E2E_TMP/vakto.out")"
echo "ok: started on Wayland, the tray item registered"

# Ticking: the seconds and the second hand change between two screenshots (the panel's own clock,
# in the top 32 rows, is left out).
sleep 1.5
wayland_shot "$E2E_TMP/a.png" || fail "no screenshot: $(cat "$E2E_TMP/weston.log")"
sleep 2
wayland_shot "$E2E_TMP/b.png" || fail "no second screenshot"
convert "$E2E_TMP/a.png" -crop 1024x736+0+32 +repage "$E2E_TMP/a-body.png"
convert "$E2E_TMP/b.png" -crop 1024x736+0+32 +repage "$E2E_TMP/b-body.png"
changed=$(compare -metric AE "$E2E_TMP/a-body.png" "$E2E_TMP/b-body.png" null: 2>&1 || true)
[[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 20 ]] || fail "nothing changed on screen in 2 s ($changed pixels)"
echo "ok: the clock ticks ($changed pixels changed in 2 s)"

# The host's Activate and its menu work on Wayland too.
"$SNIHOST" activate || fail "Activate failed"
[[ $("$SNIHOST" menu | awk -F'\t' '$3 == 1 && $2 != "separator"' | wc -l) == 4 ]] || fail "the menu: $("$SNIHOST" menu)"

# Qt's EGL client integration and the GL driver under it stay out. libEGL.so.1 itself is the GL
# vendor dispatcher that QtGui links against (on X11 as well); it loads no driver on its own.
gl=$(grep -o -E '/[^ ]*(libEGL_|_dri\.so|libLLVM|libgbm|libwayland-egl|WaylandEglClientHwIntegration|wayland-egl)[^ ]*' \
    "/proc/$VAKTO_PID/maps" | sort -u || true)
[[ -z "$gl" ]] || fail "a GL stack is mapped: $gl"
echo "ok: no EGL driver mapped ($(awk '/^VmRSS:/ {print $2 / 1024}' "/proc/$VAKTO_PID/status") MiB resident)"

kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 10 || fail "the program did not end on SIGTERM"
[[ $E2E_STATUS == 0 ]] || fail "the program ended with status $E2E_STATUS"
[[ $(stat -c %Y "$E2E_APP/vakto.dat") != "$before" ]] || fail "vakto.dat was not written at SIGTERM"
grep -q . "$E2E_TMP/vakto.out" && fail "the program printed: $(cat "$E2E_TMP/vakto.out")"

# While it ticks, each second reaches the compositor as the few rectangles that changed, past Qt's
# repaint (which would ask for a frame callback each time and wake the program again for its answer).
WAYLAND_DEBUG=client start_vakto
wait_for 100 grep -q 'commit()' "$E2E_TMP/vakto.out" || fail "nothing shown: $(tail -5 "$E2E_TMP/vakto.out")"
sleep 5.5 # the sub-surface is made (its one whole picture) within the first seconds
kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 10 || fail "the program did not end on SIGTERM"
# The last two seconds of requests: damage per commit, frame callbacks.
read -r commits worst frames < <(awk -F'[][]' '/ -> / { t = $2 + 0; if (t > last) last = t; line[NR] = $0; at[NR] = t }
    END {
        for (i = 1; i <= NR; ++i) {
            if (!(i in at) || at[i] < last - 2000) continue
            if (line[i] ~ /\.frame\(/) ++frames
            if (line[i] ~ /\.damage_buffer\(/) {
                split(substr(line[i], index(line[i], "damage_buffer(")), n, /[(), ]+/)
                area += n[4] * n[5]
            }
            if (line[i] ~ /\.commit\(\)/ && area > 0) { ++commits; if (area > worst) worst = area; area = 0 }
        }
        print commits + 0, worst + 0, frames + 0
    }' "$E2E_TMP/vakto.out")
((commits >= 1 && commits <= 3)) || fail "$commits commits in 2 s"
((worst * 20 < 385 * 195)) || fail "a tick damaged $worst pixels"
((frames == 0)) || fail "$frames frame callbacks asked for while ticking"
echo "ok: a tick damages at most $worst pixels, asks for no frame callback"

# The compositor goes (a desktop crash): the program ends, and the ledger is written first.
touch -d '2001-01-01 00:00:00' "$E2E_APP/vakto.dat"
starts=$(grep -c '^registered ' "$E2E_TMP/sni.log")
start_vakto
registered_again() { [[ $(grep -c '^registered ' "$E2E_TMP/sni.log") -gt $starts ]]; }
wait_for 100 registered_again || fail "the last start did not register: $(cat "$E2E_TMP/sni.log")"
# Its first frame comes after the start-up has read the ledger: until then there is nothing of the
# user's to write, and the file is left as it is.
drawn() {
    wayland_shot "$E2E_TMP/c.png" &&
        [[ $(convert "$E2E_TMP/c.png" -crop 1024x736+0+32 +repage -format %k info:) -gt 100 ]]
}
wait_for 100 drawn || fail "the last start shows nothing"
kill -9 "$WESTON_PID"
wait_exit "$VAKTO_PID" 10 || fail "the program runs on without its compositor"
grep -q 'connection broke' "$E2E_TMP/vakto.out" || fail "standard error says: $(cat "$E2E_TMP/vakto.out")"
[[ $(stat -c %Y "$E2E_APP/vakto.dat") != "$before" ]] || fail "vakto.dat was not written when the compositor died (status $E2E_STATUS: $(cat "$E2E_TMP/vakto.out"))"
echo "ok: the ledger written when the compositor died (status $E2E_STATUS)"
echo "PASS: Wayland end to end"
