#!/bin/bash
# Pre-listen through a real sound server: the main output on the null sink "e2e", the
# headphones on a second device, the null sink "phones", both recorded. A 440 Hz line with its
# fader down and cue on is heard on the headphones only; with cue off and the fader up, on the
# main output only. Self-contained and bounded: runs as root on a machine without a sound card.
set -u
driver=$1
tone=$2
level=$3
source "$(dirname "$0")/pulse_env.sh"

# The headphone device as ALSA (and so PortAudio) sees it.
cat >> "$HOME/.asoundrc" <<'ASOUND'
pcm.phones { type pulse device phones }
ASOUND
start_pulse --load="module-null-sink sink_name=phones rate=44100"

# Plays with cue $1 at volume $2 while both sinks are recorded into $work/main$3.raw and
# $work/phones$3.raw.
record_play() {
    local pids=()
    for sink in e2e phones; do
        timeout 30 parec -d $sink.monitor --format=float32le --rate=44100 --channels=2 --raw \
            >"$work/$sink$3.raw" 2>"$work/parec_$sink$3.log" &
        pids+=($!)
    done
    sleep 0.5
    timeout 30 "$driver" cue "$tone" 5 "$2" phones "$1" >"$work/play$3.log" 2>&1 ||
        fail "playing with cue $1 failed"
    grep -q "phones=1" "$work/play$3.log" || fail "the headphones were never heard"
    kill "${pids[@]}" 2>/dev/null; wait "${pids[@]}" 2>/dev/null
}

record_play 1 -10000 1
timeout 20 "$driver" analyse "$work/phones1.raw" 440 "$level" || fail "cued line not on the headphones"
timeout 20 "$driver" quiet "$work/e2e1.raw" || fail "line with its fader down heard on the main output"

record_play 0 0 2
timeout 20 "$driver" analyse "$work/e2e2.raw" 440 "$level" || fail "line not on the main output"
timeout 20 "$driver" quiet "$work/phones2.raw" || fail "line without cue heard on the headphones"
echo "PASS"
