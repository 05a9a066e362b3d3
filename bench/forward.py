#!/usr/bin/env python3
"""Later start to line 1 playing, through the single-instance socket.

The program runs with CORVANE_REPORT_PLAY set: it prints line_play_ns=<monotonic ns> when
a line starts playing. Each round launches `corvane <0.5 s wav>` and takes the time from just
before the launch to that report; the song ends before the next round, so line 1 is free each
time. The floor is `corvane --version` from launch to exit, timed the same way.

Usage: bench/forward.py [build dir] [rounds]     (default: build, 20)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 20
corvane = os.path.join(build, "bin", "corvane")
song = os.path.join(build, "fixtures", "sine1k_0.5s_44100_stereo_s16.wav")


def main():
    with tempfile.TemporaryDirectory() as work:
        config = os.path.join(work, "config", "Corvane")
        os.makedirs(config)
        with open(os.path.join(config, "Corvane.ini"), "w") as out:
            out.write("[1.40]\nInstalled=True\n")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_DATA_HOME=os.path.join(work, "data"), TMPDIR=work,
                   QT_QPA_PLATFORM="offscreen", CORVANE_REPORT_PLAY="1")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        log_path = os.path.join(work, "first.log")
        with open(log_path, "w") as log:
            first = subprocess.Popen([corvane], env=env, stdout=subprocess.DEVNULL, stderr=log)
        try:
            time.sleep(3)  # started, device open
            plays, floors = [], []
            seen = 0
            for _ in range(rounds):
                start = time.monotonic_ns()
                subprocess.run([corvane, song], env=env, check=True, timeout=10)
                reported = None
                deadline = time.monotonic() + 5
                while reported is None and time.monotonic() < deadline:
                    with open(log_path) as log:
                        values = [int(line.split("=")[1]) for line in log
                                  if line.startswith("line_play_ns=")]
                    if len(values) > seen:
                        seen = len(values)
                        reported = values[-1]
                    else:
                        time.sleep(0.005)
                if reported is None:
                    sys.exit("the forwarded file did not play")
                plays.append((reported - start) / 1e6)
                time.sleep(0.8)  # the 0.5 s song ends: line 1 is free again
                start = time.monotonic_ns()
                subprocess.run([corvane, "--version"], env=env, check=True, timeout=10,
                               stdout=subprocess.DEVNULL)
                floors.append((time.monotonic_ns() - start) / 1e6)
        finally:
            first.terminate()
            first.wait(timeout=10)
    print(f"rounds: {rounds}")
    print(f"later start to line 1 playing: median {statistics.median(plays):.0f} ms "
          f"(min {min(plays):.0f}, max {max(plays):.0f})")
    print(f"floor, corvane --version:      median {statistics.median(floors):.0f} ms "
          f"(min {min(floors):.0f}, max {max(floors):.0f})")


if __name__ == "__main__":
    main()
