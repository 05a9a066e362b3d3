#!/bin/bash
# Broadcasts a looped 440 Hz tone to a real Icecast server started here on a free localhost
# port, reads the stream back with ffmpeg and checks the tone and the title; kills the server,
# starts it again and checks that the broadcast came back by itself within 35 s with the main
# output never running dry; then the faults: an unknown server name, a wrong password, a mount
# point already taken and a server that never reads. Each must give its one message while the
# player plays on, and the password must never be printed. Also a source connection over TLS.
# Self-contained and bounded.
set -u
driver=$1
tone=$2
source "$(dirname "$0")/icecast_env.sh"
cleanup() {
    icecast_cleanup
    jobs -p | xargs -r kill -9 2>/dev/null
}
trap cleanup EXIT

# Waits up to $3 s for the $2nd line matching $1 in the main driver's log.
wait_for() {
    for _ in $(seq 1 $(($3 * 10))); do
        [ "$(grep -c -- "$1" "$work/main.log")" -ge "$2" ] && return 0
        sleep 0.1
    done
    return 1
}
listen() {  # seconds, file [mount]: the stream as float32 stereo 44.1 kHz
    timeout 30 ffmpeg -nostdin -loglevel error -i "http://127.0.0.1:$port${3:-/live}" -t "$1" \
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

# Ogg Vorbis carries the title in the stream itself.
settings "$work/ogg.ini" 127.0.0.1 "$port" /live.ogg "$password" "Ogg Vorbis"
timeout 30 "$driver" play "$work/ogg.ini" "$tone" 8 >"$work/ogg.log" 2>&1 &
ogg_pid=$!
for _ in $(seq 1 100); do grep -q "state=2" "$work/ogg.log" && break; sleep 0.1; done
listen 3 "$work/ogg.raw" /live.ogg || fail "could not read the Ogg stream"
"$driver" analyse "$work/ogg.raw" 440 || fail "the Ogg stream does not hold the tone"
[ "$(http_get /status-json.xsl | grep -o '"title":"sine440_2s_44100"' | wc -l)" -eq 2 ] ||
    fail "no title on the Ogg stream"
wait "$ogg_pid"

# A server that speaks only TLS on its port: the source connection goes through TLS, and what
# it sends is heard on the plain port. Its certificate, made for 127.0.0.1, is trusted through
# OpenSSL's own variable; untrusted, it is turned down with its message.
settings "$work/tls.ini" 127.0.0.1 "$tls_port" /live-tls "$password"
SSL_CERT_FILE=$work/cert.pem timeout 30 "$driver" play "$work/tls.ini" "$tone" 8 >"$work/tls.log" 2>&1 &
tls_pid=$!
for _ in $(seq 1 100); do grep -q "state=2" "$work/tls.log" && break; sleep 0.1; done
grep -q "state=2" "$work/tls.log" || fail "never went on the air over TLS"
listen 3 "$work/tls.raw" /live-tls || fail "could not read the stream sent over TLS"
"$driver" analyse "$work/tls.raw" 440 || fail "the stream sent over TLS does not hold the tone"
wait "$tls_pid"
timeout 30 "$driver" play "$work/tls.ini" "$tone" 3 >"$work/untrusted.log" 2>&1
grep -q "problem=.*offers TLS with a certificate that cannot be verified" "$work/untrusted.log" ||
    fail "untrusted certificate"

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

# The other faults, while the main broadcast goes on. The unknown name is malformed, so the
# resolver turns it down without asking a name server.
settings "$work/host.ini" no-such..host "$port" /x "$password"
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
grep -q 'problem=.*server name "no-such..host" is not known' "$work/host.log" || fail "unknown server"
grep -q "problem=.*refused the user name or password" "$work/login.log" || fail "wrong password"
grep -q "problem=.*stopped answering" "$work/mute.log" || fail "mute server"
for f in host login mute taken untrusted; do
    [ "$(grep -c problem= "$work/$f.log")" -eq 1 ] || fail "$f: not exactly one message"
    grep -q "done playing=1" "$work/$f.log" || fail "$f: the player stopped"
done

wait "$main_pid"
cat "$work/main.log"
grep -q "done playing=1 underruns=0 " "$work/main.log" || fail "the main output ran dry or stopped"
grep -F -q -- "$password" "$work"/*.log && fail "the password was printed"
echo "PASS"
