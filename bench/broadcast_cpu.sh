#!/bin/bash
# Broadcasting MP3 at 192 kbit/s to a private Icecast server while a looped tone plays through
# a real sound device (private PulseAudio, null sink): the broadcast worker's CPU time over a
# steady run, beside the floor of the same playback without broadcasting, then the output's
# underruns over a run in which the server is killed and started again.
# Usage: bench/broadcast_cpu.sh [build dir]   (BROADCAST_SECONDS, default 60: the steady run)
set -u
build=$(cd "${1:-build}" && pwd)
seconds=${BROADCAST_SECONDS:-60}
driver=$build/bin/corvane-e2e-broadcast
tone=$build/fixtures/sine440_2s_44100.flac
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/broadcast/e2e/icecast_env.sh"
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    icecast_cleanup
}
trap cleanup EXIT
source "$here/pulse_sink.sh"
start_bench_pulse || exit 1
start_icecast
settings "$work/cast.ini" 127.0.0.1 "$port" /live "$password" MP3

"$driver" play "$work/cast.ini" "$tone" "$seconds" device off >"$work/floor.log" 2>&1
"$driver" play "$work/cast.ini" "$tone" "$seconds" device >"$work/cast.log" 2>&1
"$driver" play "$work/cast.ini" "$tone" 40 device >"$work/restart.log" 2>&1 &
restart_pid=$!
sleep 10
stop_icecast
sleep 2
start_icecast
wait "$restart_pid"

report() {  # label log
    local done
    done=$(grep '^done' "$2")
    echo "$1: $done"
    echo "$done" | awk -v label="$1" '{
        for (i = 1; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
        printf "%s: worker %.2f %% of one core, process %.2f %% of one core\n", label,
               v["worker_cpu_ms"] / (v["seconds"] * 10), v["process_cpu_ms"] / (v["seconds"] * 10)
    }'
}
report "floor (playing, no broadcast)" "$work/floor.log"
report "broadcasting MP3 192 kbit/s" "$work/cast.log"
report "server killed at 10 s, started at 12 s" "$work/restart.log"
grep -E "state=|problem=|underrun" "$work/restart.log"
