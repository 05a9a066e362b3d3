#!/bin/bash
# Plays through PortAudio into a PulseAudio null sink with nobody recording (a fresh server
# takes a second or two to start pulling), kills PulseAudio mid-play and checks that the
# player carries on silently; then plays a 1 kHz tone at volume -600 on a new server, records
# the sink's monitor and checks frequency and level. Self-contained and bounded: runs as root
# on a machine without a sound card.
set -u
driver=$1
tone=$2
source "$(dirname "$0")/pulse_env.sh"

start_pulse
timeout 40 "$driver" play "$tone" 12 -600 >"$work/play2.log" 2>&1 &
driver_pid=$!
# The device must still be playing after the server's slow start, not only have played at first.
# A slow build (the thread sanitizer's) may take a while to open it: up to 7 s.
# (ALSA's messages on standard error go to the same log: only the status lines count.)
status() { grep '^state=' "$work/play2.log" | tail -1; }
for _ in $(seq 1 70); do
    status | grep -q "state=2.*silent=0" && break
    sleep 0.1
done
sleep 1
status | grep -q "state=2.*silent=0" || fail "not playing through the device"
stop_pulse
sleep 2
kill -0 "$driver_pid" 2>/dev/null || fail "the program did not survive the sound server"
wait "$driver_pid"; status=$?
tail -1 "$work/play2.log" | grep -q "done state=2" || fail "the player stopped"
[ $status -eq 0 ] || fail "exit status $status"
grep -q "silent=1" "$work/play2.log" || fail "never fell back to silent output"

start_pulse
timeout 20 parec -d e2e.monitor --format=float32le --rate=44100 --channels=2 --raw \
    >"$work/rec.raw" 2>"$work/parec.log" &
parec_pid=$!
sleep 0.5
# Seven seconds: a slow build (the thread sanitizer's) opens the device a few seconds late.
timeout 30 "$driver" play "$tone" 7 -600 >"$work/play1.log" 2>&1 || fail "playing the tone failed"
kill "$parec_pid" 2>/dev/null; wait "$parec_pid" 2>/dev/null
timeout 20 "$driver" analyse "$work/rec.raw" 1000 -6.0 || fail "the recorded tone is wrong"
echo "PASS"
