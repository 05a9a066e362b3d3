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

source "$(dirname "$0")/pulse_sink.sh"
start_bench_pulse || exit 1

CORVANE_BENCH_DEVICE=1 "$build/bin/corvane-bench" \
    --benchmark_filter='BM_DragCrossfaderWhileEightPlay|BM_EightPlayFloor'
