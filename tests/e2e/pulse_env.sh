#!/bin/bash
# Sourced by the end-to-end scripts: a private PulseAudio with a null sink "e2e", with ALSA's
# default PCM and control device routed to it, everything inside a temporary folder that is
# removed on exit. Self-contained and bounded: runs as root on a machine without a sound card.
# Gives: $work, fail MESSAGE, start_pulse [extra pulseaudio arguments], stop_pulse.
work=$(mktemp -d)
pulse_pid=
cleanup() {
    stop_pulse
    jobs -p | xargs -r kill -9 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -20 "$f"; done; exit 1; }

for tool in pulseaudio pactl parec; do
    command -v $tool >/dev/null || fail "$tool is not installed (package pulseaudio, pulseaudio-utils)"
done

# The caller's own sound server (PULSE_SERVER, PULSE_SINK, ...) must not be the one we talk to.
while read -r name; do unset "$name"; done < <(compgen -v PULSE_)
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
        --load="module-native-protocol-unix" "$@" >"$work/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 1 50); do
        timeout 2 pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    timeout 2 pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"
    timeout 2 pactl set-default-sink e2e || fail "no null sink"
}

# $pulse_pid is the `timeout` wrapper: the sound server itself is its child, and killing the
# wrapper alone would leave the server running.
stop_pulse() {
    if [ -n "$pulse_pid" ]; then
        pkill -9 -P "$pulse_pid" 2>/dev/null
        kill -9 "$pulse_pid" 2>/dev/null
        wait "$pulse_pid" 2>/dev/null
    fi
    pulse_pid=
}
