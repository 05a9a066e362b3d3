#!/bin/bash
# Two full-scale 1 kHz tones in phase on two lines at full level (the crossfader in the middle)
# sum to +6 dBFS; through PortAudio into a PulseAudio null sink, the recorded sink must never
# go over the master limiter's ceiling of -1 dBFS. Self-contained and bounded.
set -u
driver=$1
tone=$2
source "$(dirname "$0")/pulse_env.sh"

start_pulse
timeout 20 parec -d e2e.monitor --format=float32le --rate=44100 --channels=2 --raw \
    >"$work/rec.raw" 2>"$work/parec.log" &
parec_pid=$!
sleep 0.5
timeout 30 "$driver" clip "$tone" 6 0 >"$work/clip.log" 2>&1 || fail "playing the tones failed"
kill "$parec_pid" 2>/dev/null; wait "$parec_pid" 2>/dev/null
timeout 20 "$driver" ceiling "$work/rec.raw" -1.0 || fail "no sound recorded, or the master went over the ceiling"
echo "PASS"
