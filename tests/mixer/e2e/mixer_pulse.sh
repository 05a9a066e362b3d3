#!/bin/bash
# Line 7 and the Mic window through ALSA's default mixer into a private PulseAudio: each run
# of the driver does one thing, pactl says what the sink or source ended at. Last, with the
# sound server gone, the "Mixer Error" path runs and the program carries on.
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

stop_pulse
sleep 0.5
out=$(run slider 50)
echo "$out" | grep -q "box: Mixer Error: Couldn't initialize the Volume Control. CVN will work, but you will not be able to control the Master Volume or the Mic Volume." \
    || fail "no Mixer Error without a sound server: $out"
echo "$out" | grep -q "master=0" || fail "the master is available without a sound server: $out"
echo "$out" | grep -q "^done" || fail "the program did not carry on: $out"
echo "PASS"
