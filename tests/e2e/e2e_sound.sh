#!/bin/bash
# Plays a 1 kHz tone at volume -600 through PortAudio into a PulseAudio null sink, records
# the sink's monitor and checks frequency and level; then kills PulseAudio mid-play and checks
# that the player carries on silently. Self-contained and bounded: runs as root on a machine
# without a sound card.
set -u
driver=$1
tone=$2
work=$(mktemp -d)
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill -9 "$pulse_pid" 2>/dev/null
    jobs -p | xargs -r kill -9 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -20 "$f"; done; exit 1; }

for tool in pulseaudio pactl parec; do
    command -v $tool >/dev/null || fail "$tool is not installed (package pulseaudio, pulseaudio-utils)"
done

# Everything the sound server and ALSA look for lives in the temporary folder.
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
export PULSE_RUNTIME_PATH=$work/run/pulse PULSE_STATE_PATH=$work/state
export PULSE_CLIENTCONFIG=$work/client.conf
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$PULSE_STATE_PATH" && chmod 700 "$XDG_RUNTIME_DIR"
echo "autospawn = no" > "$work/client.conf"
cat > "$HOME/.asoundrc" <<'ASOUND'
pcm.!default { type pulse }
ctl.!default { type pulse }
ASOUND

start_pulse() {
    timeout 60 pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n --disallow-exit \
        --disallow-module-loading=no --use-pid-file=no --log-target=stderr \
        --load="module-null-sink sink_name=e2e rate=44100" \
        --load="module-native-protocol-unix" >"$work/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 1 50); do
        timeout 2 pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    timeout 2 pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"
    timeout 2 pactl set-default-sink e2e || fail "no null sink"
}

start_pulse
timeout 20 parec -d e2e.monitor --format=float32le --rate=44100 --channels=2 --raw \
    >"$work/rec.raw" 2>"$work/parec.log" &
parec_pid=$!
sleep 0.5
timeout 30 "$driver" play "$tone" 4 -600 >"$work/play1.log" 2>&1 || fail "playing the tone failed"
kill "$parec_pid" 2>/dev/null; wait "$parec_pid" 2>/dev/null
timeout 20 "$driver" analyse "$work/rec.raw" 1000 -6.0 || fail "the recorded tone is wrong"

# The sound server dies while playing: the program stays up and keeps playing silently.
timeout 30 "$driver" play "$tone" 6 -600 >"$work/play2.log" 2>&1 &
driver_pid=$!
sleep 2
grep -q "state=2.*silent=0" "$work/play2.log" || fail "not playing through the device"
kill -9 "$pulse_pid"; pulse_pid=
sleep 2
kill -0 "$driver_pid" 2>/dev/null || fail "the program did not survive the sound server"
wait "$driver_pid"; status=$?
tail -1 "$work/play2.log" | grep -q "done state=2" || fail "the player stopped"
[ $status -eq 0 ] || fail "exit status $status"
grep -q "silent=1" "$work/play2.log" || fail "never fell back to silent output"
echo "PASS"
