#!/usr/bin/env python3
"""Start-up and exit figures of Corvane beside a bare Qt Widgets window, on a virtual X display.

Corvane starts with six lines restored (60 s mp3s), a 1,000-entry playlist and the Sample face
(BackPic on); with CORVANE_EXIT_WHEN_SHOWN set it reports the monotonic clock and its peak
memory once the main window has painted, then runs ExitProgram. The bare window reports the same
moment. Both run ROUNDS times, interleaved; the medians are printed.

Usage: bench/startup.py [build dir] [rounds]     (default: build, 15)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
fixtures = os.path.join(build, "fixtures")


def settings(work):
    songs = [os.path.join(fixtures, f"bench_60s_{n}.mp3") for n in range(1, 9)]
    playlist = os.path.join(work, "list1000.m3u")
    with open(playlist, "w") as out:
        for n in range(1000):
            out.write(songs[n % len(songs)] + "\n")
    config = os.path.join(work, "config", "Corvane")
    os.makedirs(config)
    lines = ["[1.40]", "Installed=True", f"PlayList={playlist}", "Face=Sample", "BackPic=True"]
    lines += [f"File {n}={songs[n - 1]}" for n in range(1, 7)]
    lines += [f"Slider {n}={50 + n}" for n in range(8)]
    with open(os.path.join(config, "Corvane.ini"), "w") as out:
        out.write("\n".join(lines) + "\n")


def run(command, env):
    start = time.monotonic_ns()
    proc = subprocess.run(command, env=env, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL,
                          text=True, timeout=60)
    end = time.monotonic_ns()
    values = {}
    for line in proc.stderr.splitlines():
        for part in line.split():
            key, _, value = part.partition("=")
            if key in ("shown_ns", "peak_kb", "exit_ns") and value.isdigit():
                values[key] = int(value)
    if "shown_ns" not in values:
        sys.exit(f"{command[0]} did not report:\n{proc.stderr}")
    shown_ms = (values["shown_ns"] - start) / 1e6
    exit_ms = (end - values["exit_ns"]) / 1e6 if "exit_ns" in values else None
    return shown_ms, values.get("peak_kb"), exit_ms


def main():
    with tempfile.TemporaryDirectory() as work:
        settings(work)
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_DATA_HOME=os.path.join(work, "data"), TMPDIR=work,
                   CORVANE_EXIT_WHEN_SHOWN="1")
        env.pop("QT_QPA_PLATFORM", None)
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            env["DISPLAY"] = ":" + xvfb.stdout.readline().strip()
            corvane = [os.path.join(build, "bin", "corvane")]
            bare = [os.path.join(build, "bin", "corvane-bare-window")]
            run(corvane, env)  # the first run fills the file cache for both
            run(bare, env)
            starts, peaks, exits, floors = [], [], [], []
            for _ in range(rounds):
                shown, peak, exit_ms = run(corvane, env)
                starts.append(shown)
                peaks.append(peak)
                exits.append(exit_ms)
                floors.append(run(bare, env)[0])
        finally:
            xvfb.terminate()
            xvfb.wait()
    start, floor = statistics.median(starts), statistics.median(floors)
    print(f"rounds: {rounds}")
    print(f"start to main window shown: median {start:.0f} ms (min {min(starts):.0f})")
    print(f"bare Qt window shown:       median {floor:.0f} ms (min {min(floors):.0f})")
    print(f"ratio:                      {start / floor:.2f}x")
    print(f"peak memory after start-up: median {statistics.median(peaks) / 1024:.1f} MB "
          f"(max {max(peaks) / 1024:.1f})")
    print(f"ExitProgram to process end: median {statistics.median(exits):.0f} ms "
          f"(max {max(exits):.0f})")


if __name__ == "__main__":
    main()
