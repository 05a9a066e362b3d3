#!/bin/bash
# The real program reached from outside: a private session bus and sound server, the AutoPilot
# driven with dbus-send as a desktop's media keys would, files handed over by later starts, and
# later starts with bad input refused. Self-contained and bounded.
set -u
corvane=$1
fixtures=$2
source "$(dirname "$0")/pulse_env.sh"
export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME=$work/data TMPDIR=$work
for tool in dbus-daemon dbus-send; do
    command -v $tool >/dev/null || fail "$tool is not installed (package dbus-bin)"
done

song=$fixtures/sine440_3s_44100.mp3
printf '%s\n' "$song" "$song" "$song" >"$work/list.m3u"
mkdir -p "$XDG_CONFIG_HOME/Corvane"
printf '[1.40]\nInstalled=True\nPlayList=%s\n' "$work/list.m3u" >"$XDG_CONFIG_HOME/Corvane/Corvane.ini"

# Without a session bus the program starts and ends as before, and says nothing about it.
unset DBUS_SESSION_BUS_ADDRESS
start_pulse
CORVANE_EXIT_WHEN_SHOWN=1 timeout 60 "$corvane" >"$work/nobus.log" 2>&1 || fail "no-bus start failed"
grep -v -E '^(shown_ns|exit_ns)=' "$work/nobus.log" | grep -i -E 'bus|dbus' && fail "bus messages without a bus"

# A child of this script, not a forked daemon, so that it is reaped when it ends.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus.address" &
bus_pid=$!
trap 'kill "$bus_pid" 2>/dev/null; cleanup' EXIT
wait_for_address() { [ -s "$work/bus.address" ]; }
for _ in $(seq 1 100); do wait_for_address && break; sleep 0.05; done
wait_for_address || fail "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS

name=org.mpris.MediaPlayer2.corvane
call() {  # method [arguments...] on the player
    timeout 5 dbus-send --session --print-reply --dest=$name /org/mpris/MediaPlayer2 "$@"
}
property() {  # interface property
    call org.freedesktop.DBus.Properties.Get "string:$1" "string:$2"
}
status() { property org.mpris.MediaPlayer2.Player PlaybackStatus | grep -o '"[A-Za-z]*"'; }
wait_until() {  # seconds command...
    local until=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $until ] || return 1
        sleep 0.1
    done
}
plays() { [ "$(grep -c line_play_ns "$work/first.log")" -ge "$1" ]; }

# Started without a `timeout` wrapper so that the trap ends the program itself.
CORVANE_REPORT_PLAY=1 "$corvane" >"$work/first.log" 2>&1 &
first=$!
trap 'kill -9 "$first" "$bus_pid" 2>/dev/null; cleanup' EXIT
wait_until 30 property org.mpris.MediaPlayer2 Identity || fail "$name never appeared on the bus"
property org.mpris.MediaPlayer2 Identity | grep -q '"Corvane"' || fail "wrong Identity"
[ "$(status)" = '"Stopped"' ] || fail "not stopped at start: $(status)"

# Play starts the AutoPilot on the list; Metadata names its song.
call org.mpris.MediaPlayer2.Player.Play >/dev/null || fail "Play failed"
wait_until 10 sh -c "[ \"\$(timeout 5 dbus-send --session --print-reply --dest=$name \
    /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
    string:org.mpris.MediaPlayer2.Player string:PlaybackStatus | grep -c Playing)\" = 1 ]" ||
    fail "Play did not start the AutoPilot"
wait_until 10 sh -c "timeout 5 dbus-send --session --print-reply --dest=$name \
    /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
    string:org.mpris.MediaPlayer2.Player string:Metadata | grep -q sine440_3s_44100" ||
    fail "Metadata does not name the song"
property org.mpris.MediaPlayer2.Player Metadata | grep -q 'file://' || fail "no xesam:url"
call org.mpris.MediaPlayer2.Player.Next >/dev/null || fail "Next failed"
# Bad calls are answered with an error, or ignored; the program goes on.
call org.mpris.MediaPlayer2.Player.Seek string:far 2>/dev/null && fail "Seek took a string"
call org.mpris.MediaPlayer2.Player.SetPosition objpath:/no/such/track int64:999999999999 \
    >/dev/null || fail "SetPosition beyond the end was not answered"
# A flood of media keys, eight senders at once: the program answers and goes on.
seq 1 1000 | timeout 60 xargs -P 8 -I{} dbus-send --session --dest=$name \
    /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player.PlayPause || fail "the flood failed"
status >/dev/null || fail "no answer after the flood"
call org.mpris.MediaPlayer2.Player.Stop >/dev/null || fail "Stop failed"
property org.mpris.MediaPlayer2.Player CanPause | grep -q 'boolean false' ||
    fail "still pausable after Stop"

# A later start hands over a file by a relative path: it plays on line 1.
(cd "$fixtures" && timeout 10 "$corvane" sine1k_0.5s_44100_stereo_s16.wav) >"$work/second.log" 2>&1 ||
    fail "the later start failed: $(cat "$work/second.log")"
wait_until 10 plays 1 || fail "the forwarded file did not play"

# Later starts with bad input: a clear line, status 1, nothing changes.
expect_refused() {  # what pattern arguments...
    local what=$1 pattern=$2; shift 2
    timeout 20 "$corvane" "$@" >"$work/bad.log" 2>&1 && fail "$what: exit status 0"
    grep -q "$pattern" "$work/bad.log" || fail "$what: said '$(head -c 300 "$work/bad.log")'"
}
expect_refused "missing file" "no such file" "$work/missing.wav"
expect_refused "folder" "is a folder" "$work"
mapfile -t many < <(yes "$song" | head -n 10000)
expect_refused "10,000 files" "at most 1000" "${many[@]}"
# One argument is at most 128 KiB on Linux: a 1 MB path cannot get this far.
expect_refused "100 KB path" "longer than" "/$(head -c 100000 /dev/zero | tr '\0' a)"
sleep 0.5
plays 2 && fail "a refused start changed something"
kill -0 $first 2>/dev/null || fail "the program died"

# Quit runs the exit sequence: the program ends by itself.
call org.mpris.MediaPlayer2.Quit >/dev/null || fail "Quit failed"
wait_until 20 sh -c "! kill -0 $first" || fail "Quit did not end the program"
wait $first || fail "exit status $? after Quit"
echo "PASS"
