#!/usr/bin/env bash
# The Debian package as a user meets it: its metadata passes the validators, and the unpacked
# /usr/bin/vakto, started by an ordinary user from a read-only tree, keeps that user's punched
# minutes in ~/.local/share/vakto/vakto.dat and changes nothing under the tree.
# The package is built by the test fixture package_build into <build>/test-package/.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
debs=("$(dirname "$1")"/../test-package/vakto_*.deb)
[[ -f "${debs[0]}" ]] || fail "no package in $(dirname "$1")/../test-package"
deb=${debs[0]}
id=org.vakto.Vakto

# ---- the package ---------------------------------------------------------------------------------
root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/vakto usr/share/vakto/wav/alarm.wav usr/share/vakto/vakto.dat usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
    [[ -f "$root/$f" && ! -L "$root/$f" ]] || fail "the package lacks /$f"
done
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate refuses the menu entry"
grep -qx "Exec=/usr/bin/vakto" "$root/usr/share/applications/$id.desktop" || fail "the menu entry does not start /usr/bin/vakto"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli refuses the metadata"
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli refuses the installed tree"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6dbus6 libcanberra0; do
    [[ "$depends" == *"$lib ("* ]] || fail "Depends lacks the computed $lib: $depends"
done
# Loaded at run time, so added by hand: the audio backend and the X11 platform plugin.
for pkg in libcanberra-pulse qt6-qpa-plugins; do
    [[ ", $depends," == *", $pkg,"* ]] || fail "Depends lacks $pkg: $depends"
done

# ---- an ordinary user, a read-only tree ------------------------------------------------------------
if [[ $(id -u) == 0 ]]; then
    user=vakto-e2e
    id -u "$user" > /dev/null 2>&1 || useradd -M -d /nonexistent -s /usr/sbin/nologin "$user" 2> /dev/null ||
        id -u "$user" > /dev/null || fail "cannot make the test user $user"
    uid=$(id -u "$user")
    gid=$(id -g "$user")
    as_user=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)
else
    uid=$(id -u)
    gid=$(id -g)
    as_user=()
fi
chmod -R a-w "$root"
trap 'chmod -R u+w "$root" 2> /dev/null; e2e_cleanup' EXIT # a user other than root could not remove it
chmod 755 "$E2E_TMP" # the user reaches the tree and its home; the rest stays private by name
home=$E2E_TMP/home
runtime=$E2E_TMP/user-runtime
mkdir "$home"
mkdir -m 700 "$runtime"
chown "$uid:$gid" "$home" "$runtime"
tree() { (cd "$root" && find . -printf '%p %M %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }
before=$(tree)

start_tray
# The clock starts at 09:00:00 and runs ten times as fast.
"${as_user[@]}" env -i HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="@2026-12-09 09:00:00 x10" \
    "$root/usr/bin/vakto" > "$E2E_TMP/vakto.out" 2>&1 &
VAKTO_PID=$!
E2E_PIDS+=($VAKTO_PID)
win=$(wait_window Vakto 15) || fail "the main window did not appear: $(cat "$E2E_TMP/vakto.out")"
read -r x y w h < <(geometry "$win")

# The time the window shows, hhmmss, read from its digits: each cell compared with the digit pictures.
cell_hash() { convert "$1" -crop "$2" +repage rgb:- | md5sum | cut -c1-32; }
declare -A big small
for d in $(seq 0 9); do
    big[$(convert "$E2E_SRC/assets/depot/imgTime_$d.png" -background black -flatten -crop 24x50+0+0 +repage rgb:- |
        md5sum | cut -c1-32)]=$d
    small[$(convert "$E2E_SRC/assets/depot/imgSet_$d.png" -background black -flatten rgb:- | md5sum | cut -c1-32)]=$d
done
shown_time() {
    local shot=$E2E_TMP/shot.png out="" cx
    import -window root "$shot"
    for cx in 112 136 168 192; do out+=${big[$(cell_hash "$shot" "24x50+$((x + cx))+$((y + 34))")]:-?}; done
    for cx in 220 228; do out+=${small[$(cell_hash "$shot" "8x17+$((x + cx))+$((y + 25))")]:-?}; done
    echo "$out"
}
# Waits until the window shows minute $1 (hhmm) at second 05 to 35, far from the minute's turn.
wait_minute() {
    local t i
    for i in $(seq 600); do
        t=$(shown_time)
        if [[ "$t" != *"?"* ]]; then
            [[ "${t:0:4}" == "$1" ]] && ((10#${t:4:2} >= 5 && 10#${t:4:2} <= 35)) && return 0
            [[ "${t:0:4}" > "$1" ]] && fail "the clock shows $t, past $1"
        fi
        sleep 0.2
    done
    fail "the clock never showed $1 (last $t)"
}
click() { xdotool mousemove $((x + $1)) $((y + $2)) click 1; }

wait_minute 0900
click 87 47   # project 3
click 263 142 # punch on
t=$(shown_time)
[[ "${t:0:4}" == 0900 ]] || fail "the punch clock went on at $t, not within 09:00 (the machine is too slow for the sped-up clock)"
wait_minute 0903
click 263 142 # punch off: three full minutes go to project 3
t=$(shown_time)
[[ "${t:0:4}" == 0903 ]] || fail "the punch clock went off at $t, not within 09:03"
click 310 10 # header X
wait_exit "$VAKTO_PID" 10 || fail "the header X did not end the program"
[[ $E2E_STATUS == 0 ]] || fail "quit with status $E2E_STATUS: $(cat "$E2E_TMP/vakto.out")"

ledger=$home/.local/share/vakto/vakto.dat
[[ -f "$ledger" ]] || fail "no ledger in the user's data folder"
[[ $(stat -c %u "$ledger") == "$uid" ]] || fail "the ledger does not belong to the user"
# Made at the first start, each folder private: the ledger holds project names and hours.
[[ $(stat -c %a "$home/.local" "$home/.local/share" "$home/.local/share/vakto" | sort -u) == 700 ]] ||
    fail "the data folders are not private: $(stat -c '%n %a' "$home/.local" "$home/.local/share" "$home/.local/share/vakto")"
record=$(tr -d '\r' < "$ledger" | awk -F'\t' 'NR > 2 && ++i == 3 { print $2 ":" $3 ":" $4 }')
[[ "$record" == "0:3:Project 3" ]] || fail "project 3 in the user's ledger: $record"
[[ $(tr -d '\r' < "$ledger" | grep -c $'^[0-9]*\t') == 12 ]] || fail "the user's ledger does not hold the twelve records"
[[ "$(tree)" == "$before" ]] || fail "the unpacked tree changed: $(diff <(echo "$before") <(tree))"
[[ ! -s "$E2E_TMP/vakto.out" ]] || fail "the program printed: $(cat "$E2E_TMP/vakto.out")"
echo "PASS"
