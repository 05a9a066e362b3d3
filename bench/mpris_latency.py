#!/usr/bin/env python3
"""AutoPilot song start to PropertiesChanged at a client, in the real program.

The program runs with CORVANE_REPORT_PLAY set and prints ap_song_us=<wall clock µs> when an
AutoPilot song starts; dbus-monitor, a client of the same private bus, stamps each
PropertiesChanged it receives with the wall clock. The AutoPilot plays 3 s songs with a 1 s
overlap, started over the bus with Play; each song's latency is the time from its start to the
first PropertiesChanged after it that carries a Metadata with a track id.

Usage: bench/mpris_latency.py [build dir] [seconds]     (default: build, 30)
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
song = os.path.join(build, "fixtures", "sine440_3s_44100.mp3")
name = "org.mpris.MediaPlayer2.corvane"


def send(env, *arguments):
    return subprocess.run(["dbus-send", "--session", "--print-reply", f"--dest={name}",
                           "/org/mpris/MediaPlayer2", *arguments], env=env, timeout=10,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def main():
    with tempfile.TemporaryDirectory() as work:
        listing = os.path.join(work, "list.m3u")
        with open(listing, "w") as out:
            out.write((song + "\n") * 4)
        config = os.path.join(work, "config", "Corvane")
        os.makedirs(config)
        with open(os.path.join(config, "Corvane.ini"), "w") as out:
            out.write(f"[1.40]\nInstalled=True\nPlayList={listing}\nFadeSeconds=1\nSpinUp=1\n"
                      "Loop 0=True\n")
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                "--print-address"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_DATA_HOME=os.path.join(work, "data"), TMPDIR=work,
                   QT_QPA_PLATFORM="offscreen", CORVANE_REPORT_PLAY="1",
                   DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip())
        monitor_log = open(os.path.join(work, "monitor.log"), "w")
        program_log = open(os.path.join(work, "program.log"), "w")
        monitor = subprocess.Popen(
            ["dbus-monitor", "--session",
             "type='signal',interface='org.freedesktop.DBus.Properties',"
             "member='PropertiesChanged'"], env=env, stdout=monitor_log,
            stderr=subprocess.DEVNULL)
        program = subprocess.Popen([os.path.join(build, "bin", "corvane")], env=env,
                                   stdout=subprocess.DEVNULL, stderr=program_log)
        try:
            deadline = time.monotonic() + 30
            while not send(env, "org.freedesktop.DBus.Properties.Get",
                           "string:org.mpris.MediaPlayer2", "string:Identity"):
                if time.monotonic() > deadline:
                    sys.exit("the player never appeared on the bus")
                time.sleep(0.1)
            send(env, "org.mpris.MediaPlayer2.Player.Play")
            time.sleep(seconds)
            send(env, "org.mpris.MediaPlayer2.Quit")
            program.wait(timeout=30)
        finally:
            for process in (program, monitor, bus):
                if process.poll() is None:
                    process.kill()
                    process.wait()
            monitor_log.close()
            program_log.close()
        with open(os.path.join(work, "program.log")) as log:
            starts = [int(line.split("=")[1]) for line in log if line.startswith("ap_song_us=")]
        signals = []
        with open(os.path.join(work, "monitor.log")) as log:
            text = log.read()
        for block in re.split(r"\n(?=signal )", text):
            stamp = re.match(r"signal time=(\d+)\.(\d+)", block)
            if stamp and "mpris:trackid" in block and "/org/corvane/track/" in block:
                signals.append(int(stamp.group(1)) * 1000000 + int(stamp.group(2)))
    latencies = []
    for start in starts:
        later = [s for s in signals if s >= start]
        if later:
            latencies.append((min(later) - start) / 1000)
    if not latencies:
        sys.exit("no song start was seen on the bus")
    print(f"songs started: {len(starts)}, seen on the bus: {len(latencies)}")
    print(f"AutoPilot song start to PropertiesChanged at a client: median "
          f"{statistics.median(latencies):.2f} ms (min {min(latencies):.2f}, "
          f"max {max(latencies):.2f})")


if __name__ == "__main__":
    main()
