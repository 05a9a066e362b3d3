#!/bin/bash
# Output underruns while the crossfader is dragged over eight playing players, through a real
# sound device: starts a private PulseAudio with a null sink, routes ALSA's default to it and
# runs BM_DragCrossfaderWhileEightPlay and its floor on it (CORVANE_BENCH_DEVICE=1).
# Usage: bench/drag_underruns.sh [build dir]   (default: build)
set -u
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

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
pactl set-default-sink bench || { echo "PulseAudio did not start"; cat "$work/pulse.log"; exit 1; }

CORVANE_BENCH_DEVICE=1 "$build/bin/corvane-bench" \
    --benchmark_filter='BM_DragCrossfaderWhileEightPlay|BM_EightPlayFloor'
