#!/bin/bash
# Soak run: the real program for MINUTES (default 10) under Xvfb on a private PulseAudio, driven
# by xdotool (bench/soak.py says what it does and what it reports).
# Usage: bench/soak.sh [MINUTES] [build dir]     (default: 10, build)
set -u
here=$(cd "$(dirname "$0")" && pwd)
minutes=${1:-10}
build=$(cd "${2:-build}" && pwd)
for tool in xdotool Xvfb ffmpeg pulseaudio pactl; do
    command -v $tool >/dev/null || { echo "$tool is missing: scripts/deps.sh installs it"; exit 1; }
done
work=$(mktemp -d)
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# The caller's own sound server must not be the one we talk to.
while read -r name; do unset "$name"; done < <(compgen -v PULSE_)
source "$here/pulse_sink.sh"
start_bench_pulse || exit 1
python3 "$here/soak.py" "$build" "$minutes" "$work"
