#!/bin/bash
# Line 7 and the Mic window through ALSA's default mixer into a private PulseAudio: each run
# of the driver does one thing, pactl says what the sink or source ended at. Then, with the
# sound server gone, start-up carries on with a notice, and once the server is back the next
# press on line 7 finds the mixer.
set -u
driver=$1
source "$2/pulse_env.sh"
export QT_QPA_PLATFORM=offscreen

# The first number pactl gives for the device's volume (front-left, raw).
raw_volume() {
    timeout 5 pactl "get-$1-volume" "$2" | sed -n 's/.*front-left: *\([0-9]*\) .*/\1/p'
}
run() {
    local log="$work/driver-$1-${2:-x}.log"
    timeout 30 "$driver" "$@" >"$log" 2>&1 || fail "driver $* failed: $(cat "$log")"
    cat "$log"
}
expect() {  # what: device name, wanted raw value
    local got
    got=$(raw_volume "$2" "$3")
    [ "$got" = "$4" ] || fail "$1: $2 volume is '$got', wanted $4"
    echo "ok: $1 -> $got"
}

start_pulse --load="module-null-source source_name=mic"
timeout 2 pactl set-default-source mic || fail "no null source"

out=$(run slider 50)
echo "$out" | grep -q "master=1 range=65536 min=0 mic=1 micrange=65536" \
    || fail "the pulse control plugin did not give Master and Capture: $out"
expect "slider 50" sink e2e 32768
run slider 100 >/dev/null
expect "slider 100" sink e2e 65536
run mute >/dev/null
expect "mute" sink e2e 0
# Someone else changes the volume between two moves to the same place: it is set back.
run reassert 30 >/dev/null
expect "slider 30 after an outside change" sink e2e 19661

timeout 2 pactl set-source-volume mic 100% || fail "cannot set the source"
run mic 25 >/dev/null
expect "mic 25" source mic 16384
expect "line 7 restored at its default 80" sink e2e 52429

# The Mic window opens where the microphone is and leaves it there.
timeout 2 pactl set-source-volume mic 26214 || fail "cannot set the source"
out=$(run micopen)
echo "$out" | grep -q "^micslider=40$" || fail "the Mic window did not start at 40: $out"
expect "opening the Mic window" source mic 26214

stop_pulse
sleep 0.5
out=$(run slider 50)
echo "$out" | grep -q "^status: No system volume control: Master and Mic are not available.$" \
    || fail "no notice without a sound server: $out"
echo "$out" | grep -q "^box: Debug Error Message - Init Mixer: " || fail "no debug text: $out"
echo "$out" | grep -q "master=0" || fail "the master is available without a sound server: $out"
echo "$out" | grep -q "^done" || fail "the program did not carry on: $out"

# The sound server starts after Corvane: the next press on line 7 opens the mixer again.
export CORVANE_E2E_GO=$work/go
timeout 60 "$driver" late 50 >"$work/driver-late.log" 2>&1 &
late=$!
for _ in $(seq 1 100); do grep -q "^waiting" "$work/driver-late.log" && break; sleep 0.1; done
grep -q "^master=0" "$work/driver-late.log" || fail "the late run found a mixer: $(cat "$work/driver-late.log")"
start_pulse
touch "$CORVANE_E2E_GO"
wait $late || fail "the late run failed: $(cat "$work/driver-late.log")"
grep -q "^after master=1 status: $" "$work/driver-late.log" \
    || fail "line 7 did not find the late mixer: $(cat "$work/driver-late.log")"
expect "slider 50 once the server is there" sink e2e 32768
echo "PASS"
