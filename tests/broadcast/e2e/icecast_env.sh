#!/bin/bash
# Sourced by the broadcast test and benchmark: a private Icecast server on a free localhost
# port, and on a second one ($tls_port) over TLS with a certificate made here, everything in a
# temporary folder. Gives $work, $port, $tls_port, $password, fail MESSAGE,
# start_icecast, stop_icecast, http_get PATH, settings FILE SERVER PORT MOUNT PASSWORD [FORMAT]
# and icecast_cleanup (for the caller's EXIT trap).
work=$(mktemp -d)
icecast_pid=
icecast_cleanup() {
    [ -n "$icecast_pid" ] && stop_icecast
    rm -rf "$work"
}
fail() { echo "FAIL: $*"; for f in "$work"/*.log "$work"/log/error.log; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done; exit 1; }
for tool in icecast2 ffmpeg openssl; do
    command -v $tool >/dev/null || fail "$tool is not installed"
done

password="Sesame-$RANDOM-$$"
# Ports nobody listens on.
free_port() {
    local p
    for _ in $(seq 1 50); do
        p=$((20000 + RANDOM % 20000))
        (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null || break
    done
    echo "$p"
}
port=$(free_port)
tls_port=$(free_port)
[ "$tls_port" != "$port" ] || tls_port=$((port + 2))

# Icecast will not run as root: run it as nobody, in a folder that user can read and log to.
chmod 755 "$work"
mkdir -p "$work/log" && chmod 777 "$work/log"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 2 \
    -addext "subjectAltName=DNS:localhost,DNS:127.0.0.1,IP:127.0.0.1" \
    -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 || fail "no test certificate"
cat "$work/cert.pem" "$work/key.pem" >"$work/icecast.pem" && chmod 644 "$work/icecast.pem"
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
  <listen-socket><port>$tls_port</port><bind-address>127.0.0.1</bind-address><ssl>1</ssl></listen-socket>
  <paths>
    <ssl-certificate>$work/icecast.pem</ssl-certificate>
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
settings() {  # file server port mount password [format]
    cat > "$1" <<INI
[1.40]
BroadcastServer=$2
BroadcastPort=$3
BroadcastMount=$4
BroadcastPassword=$5
BroadcastFormat=${6:-MP3}
BroadcastBitrate=192
BroadcastName=Corvane test
INI
    chmod 600 "$1"
}
