#!/bin/bash
# The AutoPilot through PulseAudio while the sound server fails: killed and started again twice,
# then its sink suspended for 5 s. Throughout, the songs keep time on the silent output, the
# device takes over again within 5 s of being back each time, the songs start in list order and
# the song log holds each start once, in order. Self-contained and bounded.
set -u
driver=$1
fixtures=$2
source "$(dirname "$0")/pulse_env.sh"
songs=("$fixtures/song_8s_a.wav" "$fixtures/song_8s_b.wav" "$fixtures/song_8s_c.wav")
out=$work/autopilot.log

start_pulse
timeout 90 "$driver" "$work" 50 "${songs[@]}" >"$out" 2>"$work/driver.log" &
driver_pid=$!
now() { tail -n 50 "$out" | grep '^t=' | tail -1 | sed 's/^t=\([0-9.]*\).*/\1/'; }
# Waits up to $2 s for a status line that says silent=$1; prints the driver's time then.
wait_silent() {
    for _ in $(seq 1 $(($2 * 10))); do
        tail -1 "$out" | grep -q "silent=$1" && { now; return 0; }
        sleep 0.1
    done
    return 1
}
wait_silent 0 15 >/dev/null || fail "never played through the device"
sleep 3
marks=()
for round in 1 2; do
    stop_pulse
    wait_silent 1 5 >/dev/null || fail "round $round: did not fall back to silent output"
    sleep 3
    start_pulse
    back=$(now)
    returned=$(wait_silent 0 5) || fail "round $round: not back on the device 5 s after the restart"
    marks+=("restart $round: back at $back, on the device at $returned")
    sleep 3
done
suspended=$(now)
timeout 5 pactl suspend-sink e2e 1 || fail "could not suspend the sink"
sleep 5
timeout 5 pactl suspend-sink e2e 0 || fail "could not resume the sink"
back=$(now)
returned=$(wait_silent 0 5) || fail "suspend: not back on the device 5 s after the resume"
silent=$(awk -F'[= ]' -v from="$suspended" -v to="$back" \
    '/^t=/ && $2 > from && $2 < to && $4 == 1 { n++ } END { print n + 0 }' "$out")
marks+=("suspend: from $suspended to $back ($silent status lines silent), on the device at $returned")
wait "$driver_pid" || fail "the driver failed ($?)"
printf '%s\n' "${marks[@]}"

# Time kept: between two status lines of the same song the position moves with the clock, on
# the device and on the silent output alike (a dying device may hold it still for a moment).
awk -F'[= ]' '/^t=/ { t = $2; p = $6
    if (p > lp && p - lp > (t - lt) + 0.6) bad = bad " jump@" t
    if (p > lp && p - lp < (t - lt) - 0.6) bad = bad " lag@" t
    if ($4 == 1 && p > lp) silent += p - lp
    lt = t; lp = p }
    END { if (bad != "") print "position off the clock:" bad
          if (silent < 4) print "only " silent " s played on the silent output"
          exit bad != "" || silent < 4 }' "$out" || fail "the songs did not keep time"
mapfile -t started < <(sed -n 's/^started //p' "$out")
mapfile -t logged < <(sed -n 's/^logged //p' "$out")
[ ${#started[@]} -ge 6 ] || fail "only ${#started[@]} songs started in 50 s"
for i in "${!started[@]}"; do
    [ "${started[$i]}" = "${songs[$((i % 3))]}" ] || fail "start $i was ${started[$i]}"
done
[ "${started[*]}" = "${logged[*]}" ] || fail "the log (${#logged[@]}) differs from the starts (${#started[@]})"
echo "PASS: ${#started[@]} songs started and logged in order"
