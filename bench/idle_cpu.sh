#!/bin/bash
# Idle CPU of the running desk: starts Corvane on a virtual X display with a fresh settings
# folder (so the demo set is loaded on lines 1 to 6 and nothing plays), lets it settle for 5 s,
# then reads its user and system time from /proc/<pid>/stat over 20 s (IDLE_SECONDS), and the
# sound server's beside it. Once with the normal 300 ms tick, once with "Priority" 1 (the 1 ms
# tick).
# With --pulse it runs inside a private PulseAudio with a null sink, ALSA's default routed to
# it, so the desk has a sound device; without, it has none and plays silently.
# With --playing, lines 1 and 2 play (F1 and F2 pressed in the window) while it is measured.
# Usage: bench/idle_cpu.sh [--pulse] [--playing] [build dir]   (default: build)
set -eu
pulse=
playing=
if [ "${1:-}" = --pulse ]; then pulse=1; shift; fi
if [ "${1:-}" = --playing ]; then playing=1; shift; fi
build=$(cd "${1:-build}" && pwd)
seconds=${IDLE_SECONDS:-20}
work=$(mktemp -d)
xvfb_pid=
app_pid=
pulse_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

if [ -n "$pulse" ]; then
    source "$(dirname "$0")/pulse_sink.sh"
    start_bench_pulse
fi

Xvfb -displayfd 3 -screen 0 1280x800x24 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
    local priority=$1
    export XDG_CONFIG_HOME=$work/config-$priority XDG_DATA_HOME=$work/data
    mkdir -p "$XDG_CONFIG_HOME/Corvane"
    printf '[1.40]\nPriority=%s\n' "$priority" >"$XDG_CONFIG_HOME/Corvane/Corvane.ini"
    "$build/bin/corvane" >"$work/app.log" 2>&1 &
    app_pid=$!
    sleep 5
    if [ -n "$playing" ]; then
        local window
        window=$(xdotool search --sync --onlyvisible --pid "$app_pid" --name CVN | head -1)
        xdotool windowfocus --sync "$window" key F1 key F2
        sleep 2
    fi
    local before after server=0
    before=$(cpu_ticks "$app_pid")
    [ -n "$pulse" ] && server=$(cpu_ticks "$pulse_pid")
    sleep "$seconds"
    after=$(cpu_ticks "$app_pid")
    local stream=
    if [ -n "$pulse" ]; then
        server=$(($(cpu_ticks "$pulse_pid") - server))
        # The program's stream as the server sees it: a program that fell back to silence
        # (the server slow to start) has none, and its figure says nothing about the device.
        stream=$(pactl list sink-inputs | awk '/Corked: no/ { r++ } /Corked: yes/ { c++ }
            END { print r ? "device stream running" : c ? "device stream corked" : "no device stream: silent" }')
    fi
    kill "$app_pid"; wait "$app_pid" 2>/dev/null || true
    app_pid=
    awk -v d=$((after - before)) -v hz="$(getconf CLK_TCK)" -v p="$priority" -v s="$seconds" \
        -v what="${playing:+two lines playing}" -v server="$server" -v pulse="$pulse" -v stream="$stream" \
        'BEGIN { printf "Priority %s%s: %.2f %% of one core (%d ticks of 1/%d s in %d s)", p, what ? ", " what : "", 100 * d / (hz * s), d, hz, s
                 if (pulse) printf "; the sound server %.2f %%; %s", 100 * server / (hz * s), stream
                 printf "\n" }'
}

measure 300
measure 1
