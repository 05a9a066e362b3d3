#!/bin/bash
# Play latency through PulseAudio: BM_PlayLatencyResting beside its floor BM_PlayLatencyRunning
# (bench/play_latency_bench.cpp), inside a private PulseAudio with a null sink that ALSA's
# default device goes to.
# Usage: bench/play_latency.sh [build dir]   (default: build)
set -eu
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/pulse_sink.sh"
start_bench_pulse
"$build/bin/corvane-bench" --benchmark_filter=PlayLatency 2>&1 | grep -v "^ALSA lib"
