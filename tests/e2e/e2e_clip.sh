#!/bin/bash
# Two full-scale tones, 1 kHz and 1250 Hz, on two lines at full level (the crossfader in the
# middle) sum to peaks of nearly +6 dBFS whatever their phase; through PortAudio into a
# PulseAudio null sink, the recorded sink must never go over the master limiter's ceiling of
# -1 dBFS, and must reach it (the limiter worked on a mix that went over). It plays for 10 s:
# a sound server slow to start pulling on a loaded machine has the program fall back to
# silence and find the device again meanwhile. Self-contained and bounded.
set -u
driver=$1
tone=$2
source "$(dirname "$0")/pulse_env.sh"

command -v ffmpeg >/dev/null || fail "ffmpeg is not installed"
timeout 20 ffmpeg -v error -f lavfi -i "aevalsrc=sin(2*PI*1250*t)|sin(2*PI*1250*t):s=44100:d=4" \
    -c:a pcm_s16le "$work/tone1250.wav" || fail "cannot make the second tone"
start_pulse
timeout 25 parec -d e2e.monitor --format=float32le --rate=44100 --channels=2 --raw \
    >"$work/rec.raw" 2>"$work/parec.log" &
parec_pid=$!
sleep 0.5
timeout 30 "$driver" clip "$tone" 10 0 "$work/tone1250.wav" >"$work/clip.log" 2>&1 || fail "playing the tones failed"
kill "$parec_pid" 2>/dev/null; wait "$parec_pid" 2>/dev/null
timeout 20 "$driver" ceiling "$work/rec.raw" -1.0 || fail "no sound recorded, or the master went over the ceiling"
echo "PASS"
