#!/bin/bash
# Plays a 1 kHz tone at volume -600 through PortAudio into a PulseAudio null sink, records
# the sink's monitor and checks frequency and level; then kills PulseAudio mid-play and checks
# that the player carries on silently. Self-contained and bounded: runs as root on a machine
# without a sound card.
set -u
driver=$1
tone=$2
source "$(dirname "$0")/pulse_env.sh"

start_pulse
timeout 20 parec -d e2e.monitor --format=float32le --rate=44100 --channels=2 --raw \
    >"$work/rec.raw" 2>"$work/parec.log" &
parec_pid=$!
sleep 0.5
timeout 30 "$driver" play "$tone" 4 -600 >"$work/play1.log" 2>&1 || fail "playing the tone failed"
kill "$parec_pid" 2>/dev/null; wait "$parec_pid" 2>/dev/null
timeout 20 "$driver" analyse "$work/rec.raw" 1000 -6.0 || fail "the recorded tone is wrong"

# The sound server dies while playing: the program stays up and keeps playing silently.
timeout 30 "$driver" play "$tone" 6 -600 >"$work/play2.log" 2>&1 &
driver_pid=$!
sleep 2
grep -q "state=2.*silent=0" "$work/play2.log" || fail "not playing through the device"
stop_pulse
sleep 2
kill -0 "$driver_pid" 2>/dev/null || fail "the program did not survive the sound server"
wait "$driver_pid"; status=$?
tail -1 "$work/play2.log" | grep -q "done state=2" || fail "the player stopped"
[ $status -eq 0 ] || fail "exit status $status"
grep -q "silent=1" "$work/play2.log" || fail "never fell back to silent output"
echo "PASS"
