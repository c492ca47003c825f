#!/usr/bin/env bash
# The real binary under Xvfb with a PulseAudio null sink: the header alarm button arms a ring about
# four seconds later; the alarm window appears, the whole alarm sound reaches the audio server, and
# the window closes itself about two seconds later. No media framework is loaded for it. Then the
# same ring with the WAV missing: the sound theme's alarm plays instead.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# A private audio server with one null sink, recorded through its monitor.
export HOME=$E2E_TMP/home
mkdir -p "$HOME"
export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse
export PULSE_STATE_PATH=$E2E_TMP/pulse-state
export PULSE_SERVER=unix:$PULSE_RUNTIME_PATH/native
pulseaudio -D -n --exit-idle-time=-1 -L module-native-protocol-unix -L "module-null-sink sink_name=nullsink" \
    > "$E2E_TMP/pulse.log" 2>&1 || fail "pulseaudio did not start: $(cat "$E2E_TMP/pulse.log")"
for i in $(seq 50); do
    [[ -s "$PULSE_RUNTIME_PATH/pid" ]] && pactl info > /dev/null 2>&1 && break
    sleep 0.1
done
[[ -s "$PULSE_RUNTIME_PATH/pid" ]] && E2E_PIDS+=("$(cat "$PULSE_RUNTIME_PATH/pid")")
pactl info > /dev/null 2>&1 || fail "the audio server does not answer"

start_with_window
sleep 1
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$VAKTO_PID/status"; }
rss_before=$(rss_kib)

# A short fragment size: with the default latency parec drops parts of what the monitor hears.
parec -d nullsink.monitor --latency-msec=10 --file-format=wav "$E2E_TMP/rec.wav" &
PAREC_PID=$!
E2E_PIDS+=($PAREC_PID)
sleep 0.5

# The header alarm button, off at start-up: switches the alarm on, due four seconds ahead.
xdotool mousemove $((x + 20)) $((y + 10)) click 1
t0=$(date +%s.%N)
alarm=$(wait_window Alarm 8) || fail "no alarm window within 8 s of switching the alarm on"
t1=$(date +%s.%N)
pactl list sink-inputs > "$E2E_TMP/inputs.txt" # while the ring plays
for i in $(seq 60); do
    is_viewable "$alarm" || break
    sleep 0.1
done
t2=$(date +%s.%N)
is_viewable "$alarm" && fail "the alarm window did not close itself"

# Let the sound play to its end (about 1.7 s), then stop the recording.
sleep 2
kill -INT $PAREC_PID
wait $PAREC_PID 2> /dev/null || true
kill -0 "$VAKTO_PID" || fail "the program ended: $(cat "$E2E_TMP/vakto.out")"
rss_after=$(rss_kib)
echo "resident memory: $((rss_before / 1024)) MiB before the first ring, $((rss_after / 1024)) MiB after" \
    "(+$(((rss_after - rss_before) / 1024)) MiB)"
media=$(grep -o -E '[^/ ]*(Qt6Multimedia|libgst)[^/ ]*\.so[^ ]*' "/proc/$VAKTO_PID/maps" | sort -u || true)
[[ -z "$media" ]] || fail "a media framework is mapped after the ring: $media"
grep -q 'libcanberra' "/proc/$VAKTO_PID/maps" || fail "the ring did not go through libcanberra"

# An alarm, not an alert beep: the desktop's alert volume does not silence it.
check_role() {
    grep -q 'media.role = "alarm"' "$1" || fail "the ring's stream is not an alarm: $(cat "$1")"
    grep -q "event.description = \"$2\"" "$1" || fail "the ring's stream is not described as '$2': $(cat "$1")"
}
check_role "$E2E_TMP/inputs.txt" "Timer or alarm"
echo "ok: the ring plays as media.role alarm"

python3 - "$t0" "$t1" "$t2" "$E2E_APP/wav/alarm.wav" "$E2E_TMP/rec.wav" << 'EOF'
import struct, sys

t0, t1, t2 = (float(a) for a in sys.argv[1:4])

def samples(path):
    """Mono 16-bit samples (the first channel) and the rate; tolerates the sizes of an unfinished header."""
    data = open(path, 'rb').read()
    pos, rate, channels, bits, pcm = 12, 0, 0, 0, b''
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b'fmt ':
            _, channels, rate, _, _, bits = struct.unpack('<HHIIHH', body[:16])
        elif tag == b'data':
            pcm = data[pos + 8:] if size in (0, 0xFFFFFFFF) or pos + 8 + size > len(data) else body
            break
        pos += 8 + size + (size & 1)
    assert bits == 16, f'{path}: {bits}-bit samples'
    frame = 2 * channels
    n = len(pcm) // frame
    return [struct.unpack_from('<h', pcm, i * frame)[0] for i in range(n)], rate

def sounding(values, rate, threshold):
    loud = [i for i, s in enumerate(values) if abs(s) > threshold]
    return (loud[-1] - loud[0] + 1) / rate if loud else 0.0

src, src_rate = samples(sys.argv[4])
rec, rec_rate = samples(sys.argv[5])
threshold = max(abs(s) for s in src) * 0.02
want = sounding(src, src_rate, threshold)
got = sounding(rec, rec_rate, threshold)
print(f'window after {t1 - t0:.2f} s, open {t2 - t1:.2f} s; sound {want * 1000:.0f} ms in the file, '
      f'{got * 1000:.0f} ms recorded')
errors = []
if not 2.5 <= t1 - t0 <= 6.0:
    errors.append(f'the alarm window appeared {t1 - t0:.2f} s after the click, not about 4 s')
if not 1.0 <= t2 - t1 <= 3.5:
    errors.append(f'the alarm window stayed open {t2 - t1:.2f} s, not about 2 s')
if abs(got - want) > 0.050:
    errors.append(f'recorded {got * 1000:.0f} ms of sound, the file holds {want * 1000:.0f} ms')
for e in errors:
    print('FAIL:', e, file=sys.stderr)
sys.exit(1 if errors else 0)
EOF

# ---- the WAV missing: the sound theme's alarm event ----------------------------------------------
theme=/usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga
[[ -f $theme ]] || fail "$theme is missing (scripts/install-deps installs sound-theme-freedesktop)"
kill -TERM "$VAKTO_PID"
wait_exit "$VAKTO_PID" 10 || fail "the program did not end on SIGTERM"
rm "$E2E_APP/wav/alarm.wav"
start_vakto
win=$(wait_window Vakto 15) || fail "the main window did not come back"
read -r x y w h < <(geometry "$win")
sleep 1
parec -d nullsink.monitor --latency-msec=10 --file-format=wav "$E2E_TMP/theme.wav" &
PAREC_PID=$!
E2E_PIDS+=($PAREC_PID)
sleep 0.5
xdotool mousemove $((x + 20)) $((y + 10)) click 1
wait_window Alarm 8 > /dev/null || fail "no alarm window with the WAV missing"
sleep 0.5
pactl list sink-inputs > "$E2E_TMP/inputs.txt"
check_role "$E2E_TMP/inputs.txt" "Timer or alarm"
# The theme's alarm lasts about 6 s.
sleep 7.5
kill -INT $PAREC_PID
wait $PAREC_PID 2> /dev/null || true
kill -0 "$VAKTO_PID" || fail "the program ended: $(cat "$E2E_TMP/vakto.out")"

python3 - "$theme" "$E2E_TMP/theme.wav" << 'EOF'
import struct, sys

def ogg_seconds(path):
    """Length of an Ogg Vorbis file: the last page's granule position over the sample rate."""
    data = open(path, 'rb').read()
    i = data.index(b'\x01vorbis')
    rate = struct.unpack('<I', data[i + 12:i + 16])[0]
    last = data.rindex(b'OggS')
    return struct.unpack('<q', data[last + 6:last + 14])[0] / rate

data = open(sys.argv[2], 'rb').read()
pos = data.index(b'data') + 8
channels, rate = struct.unpack('<HI', data[22:28])
values = [struct.unpack_from('<h', data, p)[0] for p in range(pos, len(data) - 1, 2 * channels)]
loud = [i for i, s in enumerate(values) if abs(s) > 300]
got = (loud[-1] - loud[0] + 1) / rate if loud else 0.0
want = ogg_seconds(sys.argv[1])
print(f"WAV missing: {got * 1000:.0f} ms of sound recorded, the theme's alarm lasts {want * 1000:.0f} ms")
if not 0.5 * want <= got <= want + 0.1:
    print("FAIL: the theme's alarm did not play in place of the missing WAV", file=sys.stderr)
    sys.exit(1)
EOF
echo "PASS: alarm sound end to end"
