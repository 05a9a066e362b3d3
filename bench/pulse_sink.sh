#!/bin/bash
# Sourced by the bench scripts: starts a private PulseAudio with a null sink "bench" and routes
# ALSA's default device to it, everything inside "$work" (made and removed by the caller, who
# also kills "$pulse_pid" on exit). Returns non-zero when the server does not come up.
start_bench_pulse() {
    export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
    export PULSE_RUNTIME_PATH=$work/run/pulse PULSE_STATE_PATH=$work/state
    export PULSE_CLIENTCONFIG=$work/client.conf
    mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$PULSE_STATE_PATH" && chmod 700 "$XDG_RUNTIME_DIR"
    echo "autospawn = no" >"$work/client.conf"
    printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$HOME/.asoundrc"
    pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n --disallow-exit \
        --use-pid-file=no --log-target=stderr \
        --load="module-null-sink sink_name=bench rate=44100" \
        --load="module-native-protocol-unix" >"$work/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink bench >/dev/null || { echo "PulseAudio did not start"; cat "$work/pulse.log"; return 1; }
}
