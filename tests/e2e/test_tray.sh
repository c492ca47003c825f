#!/usr/bin/env bash
# The real program under Xvfb with a real tray host (trayer, XEmbed) and no window manager:
# the icon embeds, the header V hides to it, a click on it brings the window back, dragging the
# bare skin snaps to the left edge and, on a desktop of two monitors side by side, carries the
# window onto the second one and snaps it to that one's edges; the tray menu's Exit saves and
# removes the icon; without a
# tray host the header V only minimises, and a tray started later receives the icon by itself.
# Usage: test_tray.sh /path/to/vakto
set -euo pipefail

binary=${1:?usage: test_tray.sh /path/to/vakto}
for tool in Xvfb trayer xdotool xwininfo xrandr; do
    command -v "$tool" > /dev/null || { echo "test_tray: $tool is missing (scripts/install-deps)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2> /dev/null || true; done
    wait 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- program output"; cat "$work/vakto.log" 2> /dev/null || true
    exit 1
}
pass() { echo "ok: $*"; }

# A private program folder: the binary, its sound and the supplied ledger.
bindir=$(dirname "$binary")
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$work/prog/wav" "$work/runtime"
chmod 700 "$work/runtime"
cp "$binary" "$work/prog/vakto"
cp "$src/assets/wav/alarm.wav" "$work/prog/wav/"
cp "$src/assets/vakto.dat" "$work/prog/vakto.dat"
[[ -f "$bindir/wav/alarm.wav" ]] && cp "$bindir/wav/alarm.wav" "$work/prog/wav/"
export XDG_RUNTIME_DIR="$work/runtime"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=xcb

# Xvfb picks a free display itself and tells it through a file descriptor. One wide screen is split
# into two monitors below; -noreset keeps them when the last client leaves.
exec 3> "$work/display"
Xvfb -displayfd 3 -noreset -screen 0 2048x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
# Two 1024 x 768 monitors side by side; the left one, holding the output, is the primary.
xrandr --setmonitor L 1024/270x768/203+0+0 screen > /dev/null
xrandr --setmonitor R 1024/270x768/203+1024+0 none > /dev/null
[[ $(xrandr --listmonitors | head -1) == "Monitors: 2" ]] || fail "the screen was not split into two monitors"

# Polls a command until it succeeds, for up to $1 tenths of a second.
wait_for() {
    local tenths=$1; shift
    for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
    return 1
}

start_trayer() {
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 --transparent false \
        > "$work/trayer.log" 2>&1 &
    trayer_pid=$!
    pids+=("$trayer_pid")
    wait_for 50 panel_id > /dev/null || fail "trayer did not start"
}
panel_id() { xwininfo -root -tree 2> /dev/null | awk '/\("panel" "trayer"\)/ {print $1; found=1} END {exit !found}'; }

start_vakto() {
    (cd "$work/prog" && exec ./vakto >> "$work/vakto.log" 2>&1) &
    vakto_pid=$!
    pids+=("$vakto_pid")
    wait_for 100 main_id > /dev/null || fail "the main window did not appear"
    main=$(main_id)
}
main_id() { xwininfo -root -tree 2> /dev/null | awk '/\("vakto" "Vakto"\)  385x195/ {print $1; found=1} END {exit !found}'; }
map_state() { xwininfo -id "$1" 2> /dev/null | awk '/Map State:/ {print $3}'; }
is_viewable() { [[ $(map_state "$main") == IsViewable ]]; }
is_unmapped() { [[ $(map_state "$main") == IsUnMapped ]]; }
win_x() { xwininfo -id "$main" | awk '/Absolute upper-left X:/ {print $4}'; }
win_y() { xwininfo -id "$main" | awk '/Absolute upper-left Y:/ {print $4}'; }

# The program's icon inside the tray: "id WxH+x+y +absx+absy" of the embedded window.
icon_line() {
    local panel
    panel=$(panel_id) || return 1
    xwininfo -id "$panel" -tree 2> /dev/null | grep '("vakto" "Vakto")' | head -1 | grep -q . || return 1
    xwininfo -id "$panel" -tree | grep '("vakto" "Vakto")' | head -1
}
icon_embedded() { icon_line > /dev/null; }
icon_gone() { ! icon_embedded; }
click_icon() {
    local line abs size ax ay w h
    line=$(icon_line) || fail "no tray icon to click"
    abs=$(awk '{print $NF}' <<< "$line")      # +absx+absy
    size=$(awk '{print $(NF-1)}' <<< "$line") # WxH+x+y
    ax=$(cut -d+ -f2 <<< "$abs"); ay=$(cut -d+ -f3 <<< "$abs")
    w=${size%%x*}; h=${size#*x}; h=${h%%+*}
    xdotool mousemove $((ax + w / 2)) $((ay + h / 2)) click "$1"
}
# Top-level windows of the program, shown, other than the main window (message boxes, menus).
other_windows() {
    xwininfo -root -children 2> /dev/null | awk '/\("vakto" "Vakto"\)/ {print $1}' | while read -r id; do
        [[ "$id" == "$main" ]] && continue
        [[ $(map_state "$id") == IsViewable ]] && echo "$id"
    done
}
has_other_window() { [[ -n "$(other_windows)" ]]; }
click_in_window() { xdotool mousemove $(($(win_x) + $1)) $(($(win_y) + $2)) click 1; }
exited() { ! kill -0 "$vakto_pid" 2> /dev/null; }

# ---- with a tray host ----------------------------------------------------------------------------
start_trayer
touch -d '2001-01-01 00:00:00' "$work/prog/vakto.dat"
before=$(stat -c %Y "$work/prog/vakto.dat")
start_vakto
wait_for 50 icon_embedded || fail "the tray icon was not embedded"
pass "the icon is embedded in the tray"
wait_for 20 is_viewable || fail "the main window is not shown"
has_other_window && fail "a message box came up although a tray is there"

# The header V (window 350, 10) hides the window to the tray.
click_in_window 350 10
wait_for 30 is_unmapped || fail "the header V did not hide the window (state $(map_state "$main"))"
pass "the header V hides the window"

click_icon 1
wait_for 30 is_viewable || fail "a click on the tray icon did not bring the window back"
xprop -id "$main" _NET_WM_STATE 2> /dev/null | grep -q HIDDEN && fail "the window came back minimised"
pass "a click on the tray icon shows the window again"

# Drag by a bare spot of the skin (window 240, 190: below the presets, beside the description).
xdotool mousemove $(($(win_x) + 240)) $(($(win_y) + 190)) mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove $((240 + 60 * step)) $((190 + 40 * step)); sleep 0.05; done
xdotool mouseup 1
sleep 0.2
[[ $(win_x) == 300 && $(win_y) == 200 ]] || fail "the free drag put the window at $(win_x),$(win_y), not 300,200"
# Now so that the window's left edge would be 5 pixels from the screen's: it snaps to 0.
xdotool mousemove $(($(win_x) + 240)) $(($(win_y) + 190)) mousedown 1
for x in 400 300 245; do xdotool mousemove "$x" 390; sleep 0.05; done
xdotool mouseup 1
sleep 0.2
[[ $(win_x) == 0 && $(win_y) == 200 ]] || fail "the window at $(win_x),$(win_y) did not snap to 0,200"
pass "dragging the bare skin moves the window and snaps it to the left edge"

# Drags from the bare spot (window 240, 190) through the given pointer x values at screen y 390.
drag_to() {
    xdotool mousemove $(($(win_x) + 240)) $(($(win_y) + 190)) mousedown 1
    for x in "$@"; do xdotool mousemove "$x" 390; sleep 0.05; done
    xdotool mouseup 1
    sleep 0.2
}
drag_to 600 1100 1500
[[ $(win_x) == 1260 && $(win_y) == 200 ]] || fail "the window at $(win_x),$(win_y) did not go onto the second monitor"
# 5 pixels right of the second monitor's left edge: flush with it.
drag_to 1400 1269
[[ $(win_x) == 1024 ]] || fail "the window at $(win_x) did not snap to the second monitor's left edge 1024"
# 5 pixels short of the second monitor's right edge: flush with it.
drag_to 1600 1898
[[ $(win_x) == 1663 ]] || fail "the window at $(win_x) did not snap to the second monitor's right edge (1663)"
# Back on the first monitor, 4 pixels short of its right edge: flush with that one.
drag_to 1200 875
[[ $(win_x) == 639 && $(win_y) == 200 ]] || fail "the window at $(win_x),$(win_y) did not snap to the first monitor's right edge"
pass "on two monitors the window goes onto the second and snaps to the edges of the one under the pointer"

# Right click on the icon, E&xit chosen by its access key.
click_icon 3
wait_for 30 has_other_window || fail "the tray menu did not open"
xdotool key x
wait_for 50 exited || fail "Exit did not end the program"
wait "$vakto_pid" && rc=0 || rc=$?
[[ $rc == 0 ]] || fail "the program ended with status $rc"
wait_for 30 icon_gone || fail "the tray icon is still there after Exit"
after=$(stat -c %Y "$work/prog/vakto.dat")
[[ "$after" != "$before" ]] || fail "vakto.dat was not written at Exit"
pass "Exit ends the program, removes the icon and writes vakto.dat"

# ---- without a tray host -------------------------------------------------------------------------
kill "$trayer_pid"
wait_for 30 bash -c '! xwininfo -root -tree | grep -q "(\"panel\" \"trayer\")"' || fail "trayer did not go"
start_vakto
# "Unable to add icon to system tray": a message box, dismissed with Enter.
wait_for 50 has_other_window || fail "no message box although there is no tray"
box=$(other_windows | head -1)
xdotool windowfocus "$box" 2> /dev/null || true
xdotool key --window "$box" Return 2> /dev/null || xdotool key Return
wait_for 30 bash -c "[[ \$(xwininfo -id $box 2>/dev/null | awk '/Map State:/ {print \$3}') != IsViewable ]]" ||
    fail "the message box did not close"
wait_for 20 is_viewable || fail "the main window is not shown"

click_in_window 350 10
sleep 0.5
is_viewable || fail "without a tray icon the header V hid the window: nothing could bring it back"
has_other_window && fail "a message box came up after the header V"
pass "without a tray host the header V minimises instead of hiding"

# A tray that appears later receives the icon, and from then on the header V hides to it.
start_trayer
wait_for 50 icon_embedded || fail "the icon did not appear in a tray started later"
pass "a tray started later receives the icon"
click_in_window 350 10
wait_for 30 is_unmapped || fail "with the late tray the header V did not hide the window"
click_icon 1
wait_for 30 is_viewable || fail "the late tray's icon did not bring the window back"
pass "the late tray's icon brings the hidden window back"

# The header X (window 310, 10) quits.
click_in_window 310 10
wait_for 50 exited || fail "the header X did not end the program"
wait "$vakto_pid" && rc=0 || rc=$?
[[ $rc == 0 ]] || fail "the program ended with status $rc"
echo "test_tray: all checks passed"
