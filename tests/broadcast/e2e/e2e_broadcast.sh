#!/bin/bash
# Broadcasts a looped 440 Hz tone to a real Icecast server started here on a free localhost
# port, reads the stream back with ffmpeg and checks the tone and the title; kills the server,
# starts it again and checks that the broadcast came back by itself within 35 s with the main
# output never running dry; then the faults: an unknown server name, a wrong password, a mount
# point already taken and a server that never reads. Each must give its one message while the
# player plays on, and the password must never be printed. Self-contained and bounded.
set -u
driver=$1
tone=$2
work=$(mktemp -d)
icecast_pid=
cleanup() {
    [ -n "$icecast_pid" ] && stop_icecast
    jobs -p | xargs -r kill -9 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log "$work"/log/error.log; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done; exit 1; }
for tool in icecast2 ffmpeg; do
    command -v $tool >/dev/null || fail "$tool is not installed"
done

password="Sesame-$RANDOM-$$"
# A port nobody listens on.
for _ in $(seq 1 50); do
    port=$((20000 + RANDOM % 20000))
    (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null || break
done

# Icecast will not run as root: run it as nobody, in a folder that user can read and log to.
chmod 755 "$work"
mkdir -p "$work/log" && chmod 777 "$work/log"
cat > "$work/icecast.xml" <<XML
<icecast>
  <hostname>localhost</hostname>
  <location>test</location><admin>test@localhost</admin>
  <limits><sources>4</sources><source-timeout>5</source-timeout></limits>
  <authentication>
    <source-password>$password</source-password>
    <admin-user>admin</admin-user><admin-password>admin-$RANDOM</admin-password>
  </authentication>
  <listen-socket><port>$port</port><bind-address>127.0.0.1</bind-address></listen-socket>
  <paths>
    <basedir>/usr/share/icecast2</basedir><logdir>$work/log</logdir>
    <webroot>/usr/share/icecast2/web</webroot><adminroot>/usr/share/icecast2/admin</adminroot>
  </paths>
  <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog><loglevel>3</loglevel></logging>
  <security><chroot>0</chroot></security>
</icecast>
XML
chmod 644 "$work/icecast.xml"
as_icecast=()
[ "$(id -u)" -eq 0 ] && as_icecast=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

http_get() {  # path: the server's answer, bounded
    timeout 5 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port && printf 'GET %s HTTP/1.0\r\n\r\n' '$1' >&3 && cat <&3" 2>/dev/null
}
start_icecast() {
    "${as_icecast[@]}" timeout 200 icecast2 -c "$work/icecast.xml" >"$work/icecast.log" 2>&1 &
    icecast_pid=$!
    for _ in $(seq 1 50); do
        http_get /status-json.xsl | grep -q icestats && return
        sleep 0.1
    done
    fail "Icecast did not start"
}
# $icecast_pid is the `timeout` wrapper; the server is its child.
stop_icecast() {
    pkill -9 -P "$icecast_pid" 2>/dev/null
    kill -9 "$icecast_pid" 2>/dev/null
    wait "$icecast_pid" 2>/dev/null
    icecast_pid=
}
settings() {  # file server port mount password
    cat > "$1" <<INI
[1.40]
BroadcastServer=$2
BroadcastPort=$3
BroadcastMount=$4
BroadcastPassword=$5
BroadcastFormat=MP3
BroadcastBitrate=192
BroadcastName=Corvane test
INI
    chmod 600 "$1"
}
# Waits up to $3 s for the $2nd line matching $1 in the main driver's log.
wait_for() {
    for _ in $(seq 1 $(($3 * 10))); do
        [ "$(grep -c -- "$1" "$work/main.log")" -ge "$2" ] && return 0
        sleep 0.1
    done
    return 1
}
listen() {  # seconds, file: the stream as float32 stereo 44.1 kHz
    timeout 30 ffmpeg -nostdin -loglevel error -i "http://127.0.0.1:$port/live" -t "$1" \
        -f f32le -ac 2 -ar 44100 -y "$2" >"$work/ffmpeg.log" 2>&1
}

start_icecast
settings "$work/main.ini" 127.0.0.1 "$port" /live "$password"
"$driver" play "$work/main.ini" "$tone" 60 >"$work/main.log" 2>&1 &
main_pid=$!
wait_for "state=2" 1 20 || fail "never went on the air"

listen 4 "$work/first.raw" || fail "could not read the stream"
"$driver" analyse "$work/first.raw" 440 || fail "the stream does not hold the tone"
http_get /status-json.xsl >"$work/status.json"
grep -q '"title":"sine440_2s_44100"' "$work/status.json" || fail "no title: $(cat "$work/status.json")"

# A second source on the same mount is turned away with its own message.
settings "$work/taken.ini" 127.0.0.1 "$port" /live "$password"
timeout 30 "$driver" play "$work/taken.ini" "$tone" 3 >"$work/taken.log" 2>&1
grep -q "problem=.*mount point /live is already taken" "$work/taken.log" || fail "mount taken"

stop_icecast
wait_for "state=3" 1 20 || fail "the lost server was not noticed"
sleep 2
start_icecast
wait_for "state=2" 2 35 || fail "did not resume within 35 s"
listen 3 "$work/second.raw" || fail "could not read the stream after the restart"
"$driver" analyse "$work/second.raw" 440 || fail "the resumed stream does not hold the tone"

# The other faults, while the main broadcast goes on.
settings "$work/host.ini" no-such-host.invalid "$port" /x "$password"
settings "$work/login.ini" 127.0.0.1 "$port" /y "wrong-$password"
mute_port=$((port + 1))
"$driver" mute-server "$mute_port" 20 &
settings "$work/mute.ini" 127.0.0.1 "$mute_port" /z "$password"
timeout 30 "$driver" play "$work/host.ini" "$tone" 3 >"$work/host.log" 2>&1 &
host_pid=$!
timeout 30 "$driver" play "$work/login.ini" "$tone" 3 >"$work/login.log" 2>&1 &
login_pid=$!
timeout 40 "$driver" play "$work/mute.ini" "$tone" 14 >"$work/mute.log" 2>&1
wait "$host_pid" "$login_pid"
grep -q 'problem=.*server name "no-such-host.invalid" is not known' "$work/host.log" || fail "unknown server"
grep -q "problem=.*refused the user name or password" "$work/login.log" || fail "wrong password"
grep -q "problem=.*stopped answering" "$work/mute.log" || fail "mute server"
for f in host login mute taken; do
    [ "$(grep -c problem= "$work/$f.log")" -eq 1 ] || fail "$f: not exactly one message"
    grep -q "done playing=1" "$work/$f.log" || fail "$f: the player stopped"
done

wait "$main_pid"
cat "$work/main.log"
grep -q "done playing=1 underruns=0 " "$work/main.log" || fail "the main output ran dry or stopped"
grep -F -q -- "$password" "$work"/*.log && fail "the password was printed"
echo "PASS"
