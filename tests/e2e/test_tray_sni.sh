#!/usr/bin/env bash
# The real binary under Xvfb with no XEmbed tray but a StatusNotifier host on a private session bus,
# as Plasma, waybar or the GNOME AppIndicator extension host tray icons: the item registers, its
# tooltip follows the alarm, Activate brings the hidden window back, the host shows the menu the
# program exports over DBusMenu and its clicks run the items' actions, E&xit saving the ledger.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
start_session_bus
start_sni_host

touch -d '2001-01-01 00:00:00' "$E2E_APP/vakto.dat"
before=$(stat -c %Y "$E2E_APP/vakto.dat")
start_vakto
win=$(wait_window Vakto 15) || fail "the main window did not appear"
read -r x y w h < <(geometry "$win")
wait_for 50 grep -q '^registered ' "$E2E_TMP/sni.log" || fail "no StatusNotifier item registered"
# No "Unable to add icon to system tray": the one window named Vakto is the main window.
sleep 0.5
boxes=$(xdotool search --onlyvisible --name '^Vakto$' | wc -l)
[[ $boxes == 1 ]] || fail "$boxes windows named Vakto: a message box came up although a host is there"
echo "ok: the item registers with the watcher"

tooltip_is() { [[ "$("$SNIHOST" tooltip)" == "$1" ]]; }
# The visible entries of the exported menu, labels joined by "|" (separators as "-").
visible_menu() { "$SNIHOST" menu | awk -F'\t' '$3 == 1 {printf "%s|", ($2 == "separator" ? "-" : $5)}'; }
menu_is() { [[ "$(visible_menu)" == "$1" ]]; }

tooltip_is "Alarm OFF" || fail "the tooltip reads '$("$SNIHOST" tooltip)', not 'Alarm OFF'"
menu_is "Alarm ON|-|_Show Vakto|_About|-|E_xit|" || fail "the exported menu shows '$(visible_menu)'"
"$SNIHOST" menu | awk -F'\t' '$3 == 0 {print $5}' | tr '\n' '|' | grep -qx 'Alarm _ON|Alarm O_FF|' ||
    fail "the hidden alarm state items are not exported hidden: $("$SNIHOST" menu)"
echo "ok: tooltip 'Alarm OFF', menu with its four visible captions"

# The header alarm button switches the alarm on: tooltip and the menu's first caption follow.
xdotool mousemove $((x + 20)) $((y + 10)) click 1
wait_for 30 tooltip_is "Alarm ON" || fail "after the header button the tooltip reads '$("$SNIHOST" tooltip)'"
menu_is "Alarm OFF|-|_Show Vakto|_About|-|E_xit|" || fail "after the header button the menu shows '$(visible_menu)'"
# The host's click on that first item switches it off again.
"$SNIHOST" click "Alarm OFF" || fail "the host could not click 'Alarm OFF'"
wait_for 30 tooltip_is "Alarm OFF" || fail "the menu's 'Alarm OFF' left the tooltip at '$("$SNIHOST" tooltip)'"
echo "ok: the tooltip and the menu follow the alarm, both ways"

# The header V hides the window to the tray; the host's Activate (a left click) brings it back.
xdotool mousemove $((x + 350)) $((y + 10)) click 1
wait_for 30 bash -c "! xwininfo -id $win | grep -q IsViewable" || fail "the header V did not hide the window"
"$SNIHOST" activate || fail "Activate failed"
wait_for 30 is_viewable "$win" || fail "Activate did not bring the window back"
xprop -id "$win" _NET_WM_STATE 2> /dev/null | grep -q HIDDEN && fail "the window came back minimised"
echo "ok: Activate shows the hidden window again"

"$SNIHOST" click "_About" || fail "the host could not click '_About'"
about=$(wait_window "About Vakto" 10) || fail "the menu's '_About' did not open the About window"
echo "ok: the menu's About opens the About window"

"$SNIHOST" click "E_xit" || fail "the host could not click 'E_xit'"
wait_exit "$VAKTO_PID" 10 || fail "the menu's 'E_xit' did not end the program"
[[ $E2E_STATUS == 0 ]] || fail "the program ended with status $E2E_STATUS"
[[ $(stat -c %Y "$E2E_APP/vakto.dat") != "$before" ]] || fail "vakto.dat was not written at Exit"
wait_for 30 grep -q '^unregistered ' "$E2E_TMP/sni.log" || fail "the item did not leave the watcher"
grep -q . "$E2E_TMP/vakto.out" && fail "the program printed: $(cat "$E2E_TMP/vakto.out")"

echo "PASS: StatusNotifier tray end to end"
