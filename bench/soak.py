#!/usr/bin/env python3
"""Soak run of the real program on a virtual X display and the private sound server that
bench/soak.sh started.

Six lines loop short songs, the AutoPilot cycles a 200-song list of 5 s songs with a 2 s
overlap (FadeSeconds 2, "Loop 0" on), the main tick runs every millisecond ("Priority" on), and
for the whole time xdotool drags the crossfader, holds the auto-fade keys, moves the sliders and
opens and closes the Options dialog and the log viewer. The program reports its underruns,
starved buffers and AutoPilot starts on standard error (CORVANE_STATS_MS); this script samples
its resident memory every minute and its descriptors and threads at start and end, and holds
the song log against the songs started.

Usage: bench/soak.py BUILD_DIR MINUTES WORK_DIR
With SOAK_HEAPTRACK=FILE the program runs under heaptrack, which writes FILE.zst; it is killed
at the end, so that heaptrack's "leaked" is everything it held then (compare two lengths of run
with heaptrack_print --diff to see what grows).
"""
import configparser
import os
import re
import shutil
import signal
import subprocess
import sys
import time

build, minutes, work = os.path.abspath(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
SONGS = 200
LINE_SECONDS = [3, 4, 5, 6, 7, 8]


def tone(path, hz, seconds):
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"sine=frequency={hz}:duration={seconds}:sample_rate=44100", "-ac", "2",
                    "-b:a", "128k", path], check=True)


def prepare():
    music = os.path.join(work, "music")
    os.makedirs(music)
    tone(os.path.join(music, "ap.mp3"), 440, 5)
    names = [f"ap_{n:03d}" for n in range(1, SONGS + 1)]
    for name in names:  # one file under 200 names: the log tells them apart by name
        os.link(os.path.join(music, "ap.mp3"), os.path.join(music, name + ".mp3"))
    playlist = os.path.join(work, "list200.m3u")
    with open(playlist, "w") as out:
        out.writelines(os.path.join(music, name + ".mp3") + "\n" for name in names)
    lines = []
    for n, seconds in enumerate(LINE_SECONDS, 1):
        path = os.path.join(music, f"line{n}.mp3")
        tone(path, 200 + 100 * n, seconds)
        lines += [f"File {n}={path}", f"Loop {n}=True"]
    config = os.path.join(work, "config", "Corvane")
    os.makedirs(config)
    settings = ["[1.40]", "Installed=True", "Priority=True", "Loop 0=True", "FadeSeconds=2",
                "SpinUp=1", "Logging=True", "LogAll=False", "LogPath=False",
                f"LogFile={os.path.join(work, 'songs.log')}", "ToolTips=False"]
    settings += lines + [f"Slider {n}=60" for n in range(8)]
    with open(os.path.join(config, "Corvane.ini"), "w") as out:
        out.write("\n".join(settings) + "\n")
    return playlist, names


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=False, timeout=10,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def window_geometry(title):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title,
                          "getwindowgeometry", "--shell"], capture_output=True, text=True,
                         timeout=10).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return {k: int(values[k]) for k in ("WINDOW", "X", "Y", "WIDTH", "HEIGHT")} if values else None


def proc_figures(pid):
    rss = 0
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    return rss, len(os.listdir(f"/proc/{pid}/fd")), len(os.listdir(f"/proc/{pid}/task"))


def rss_parts(pid):
    """Resident memory by kind (kB): anonymous (the heap and stacks), file pages, shared."""
    parts = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(("RssAnon:", "RssFile:", "RssShmem:")):
                parts[line.split(":")[0][3:]] = int(line.split()[1])
    return parts


def anon_by_kind(pid):
    """Anonymous resident memory (kB) by the kind of mapping it is in: the main heap, glibc's
    thread arenas (64 MB reservations), thread stacks (8 MB with a guard page before them),
    anonymous pages of a library's file mapping, and other anonymous mappings."""
    kinds = {"heap": 0, "arenas": 0, "stacks": 0, "in files": 0, "other": 0}
    kind = None
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            head = re.match(r"^([0-9a-f]+)-([0-9a-f]+) \S+ \S+ \S+ \S+\s*(.*)$", line)
            if head:
                size = (int(head.group(2), 16) - int(head.group(1), 16)) // 1024
                name = head.group(3)
                if name == "[heap]":
                    kind = "heap"
                elif name.startswith("/"):
                    kind = "in files"
                elif name:
                    kind = "other"
                elif 8176 <= size <= 8192:
                    kind = "stacks"
                elif size <= 65536 and int(head.group(1), 16) % (64 << 20) == 0 or size == 65536:
                    kind = "arenas"
                else:
                    kind = "other"
            elif line.startswith("Anonymous:") and kind:
                kinds[kind] += int(line.split()[1])
    return kinds


class Driver:
    """The user's hands: each step is one of the actions, in turn."""

    def __init__(self, main):
        self.main = main
        self.step = 0

    def at(self, x, y):
        return self.main["X"] + x, self.main["Y"] + y

    def drag(self, start, end, steps=12):
        xdo("mousemove", *start)
        xdo("mousedown", 1)
        for i in range(1, steps + 1):
            xdo("mousemove", start[0] + (end[0] - start[0]) * i // steps,
                start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.03)
        xdo("mouseup", 1)

    def hold(self, key, seconds):
        xdo("keydown", key)
        time.sleep(seconds)
        xdo("keyup", key)

    def close_dialogs(self):
        """A dialog that showed only after its wait (a loaded machine) is closed now."""
        for title, key in DIALOGS:
            found = window_geometry(title)
            if found:
                xdo("windowfocus", found["WINDOW"])
                xdo("key", key)
                time.sleep(0.5)

    def dialog(self, button, title, close_key):
        self.close_dialogs()
        xdo("windowfocus", self.main["WINDOW"])
        xdo("mousemove", *self.at(*button))
        xdo("click", 1)
        found = None
        for _ in range(50):
            time.sleep(0.2)
            found = window_geometry(title)
            if found:
                break
        if not found:
            screenshot("soak-no-dialog.png")
        if found:  # no window manager: the new window gets the keys only when given them
            xdo("windowfocus", found["WINDOW"])
            xdo("key", close_key)
            time.sleep(0.5)
        xdo("windowfocus", self.main["WINDOW"])
        return found is not None

    def act(self):
        kind = self.step % 6
        self.step += 1
        if kind == 0:
            self.drag(self.at(*CROSSFADER), self.at(CROSSFADER[0] - 70, CROSSFADER[1]))
            self.drag(self.at(CROSSFADER[0] - 70, CROSSFADER[1]),
                      self.at(CROSSFADER[0] + 70, CROSSFADER[1]))
        elif kind == 1:
            self.hold("KP_4", 1.5)
            self.hold("KP_6", 1.5)
            xdo("key", "KP_5")
        elif kind == 2:
            x = FADERS[(self.step // 6) % len(FADERS)]
            self.drag(self.at(x, FADER_TOP), self.at(x, FADER_TOP + 60))
            self.drag(self.at(x, FADER_TOP + 60), self.at(x, FADER_TOP))
        elif kind == 3:
            return self.dialog(OPTIONS_BUTTON, *DIALOGS[0])
        elif kind == 4:
            return self.dialog(LOG_BUTTON, *DIALOGS[1])
        else:
            time.sleep(1)
        return None


# Places on the main window in pixels from its corner (measured on a screenshot of the
# default face): the crossfader's knob at the centre, the volume faders of lines 1 to 3 at
# the level the settings give them, the Options and Log buttons.
CROSSFADER = (360, 288)
FADERS = [132, 217, 302]
FADER_TOP = 157
OPTIONS_BUTTON = (545, 287)
LOG_BUTTON = (657, 263)
# The windows they open, by title, and the key that closes each. The viewer's title says
# "Titles Logged" once filled and "Titles Listed" after an entry added while it is open.
DIALOGS = [("^CVN Options", "Escape"), ("Titles L", "alt+d")]


def screenshot(name):
    """The screen, into the build folder, for a look at what the run did."""
    try:
        subprocess.run(["import", "-window", "root", os.path.join(build, name)], check=False,
                       timeout=30)
    except FileNotFoundError:  # ImageMagick is not installed: no picture
        pass


def read_log(path):
    ini = configparser.ConfigParser(interpolation=None, strict=False)
    ini.optionxform = str.lower
    ini.read(path)
    if not ini.has_section("Songs"):
        return []
    count = int(ini.get("Total", "entries", fallback="0"))
    return [ini.get("Songs", f"{n} file", fallback="") for n in range(1, count + 1)]


def main():
    playlist, names = prepare()
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_DATA_HOME=os.path.join(work, "data"), TMPDIR=work, CORVANE_STATS_MS="1000")
    env.pop("QT_QPA_PLATFORM", None)
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x900x24"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    env["DISPLAY"] = os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().strip()
    log = open(os.path.join(work, "corvane.err"), "w")
    command = [os.path.join(build, "bin", "corvane"), playlist]
    heap_file = os.environ.get("SOAK_HEAPTRACK")
    if heap_file:
        command = ["heaptrack", "-o", heap_file] + command
    program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=log)
    pid = program.pid
    launched = time.monotonic()
    steps = []  # (seconds since the launch, kind) of each of the driver's steps
    try:
        main_window = None
        for _ in range(100):
            main_window = window_geometry("^CVN v")
            if main_window:
                break
            time.sleep(0.2)
        if not main_window:
            sys.exit("the main window did not show")
        time.sleep(2)
        screenshot("soak-start.png")
        xdo("mousemove", main_window["X"] + 20, main_window["Y"] + 20)
        xdo("click", 1)
        for key in ("F1", "F2", "F3", "F4", "F5", "F6"):
            xdo("key", key)
            time.sleep(0.3)
        start = time.monotonic()
        if heap_file:  # the program is the heaptrack script's child
            pid = int(subprocess.run(["pgrep", "-n", "-P", str(program.pid), "-x", "corvane"],
                                     capture_output=True, text=True).stdout.split()[0])
        first = proc_figures(pid)
        memory = [first[0]]
        anon_at_5 = None
        driver = Driver(main_window)
        dialogs = {True: 0, False: 0}
        next_sample = start + 60
        while time.monotonic() - start < minutes * 60:
            if program.poll() is not None:
                sys.exit(f"the program ended early ({program.returncode})")
            steps.append((time.monotonic() - launched, driver.step % 6))
            shown = driver.act()
            if shown is not None:
                dialogs[shown] += 1
                if not shown:
                    print(f"step {driver.step}: no dialog", flush=True)
            if time.monotonic() >= next_sample:
                memory.append(proc_figures(pid)[0])
                if len(memory) == 6:
                    anon_at_5 = anon_by_kind(pid)
                parts = " ".join(f"{k} {v / 1024:.1f}" for k, v in rss_parts(pid).items())
                print(f"minute {len(memory) - 1}: resident {memory[-1] / 1024:.1f} MB ({parts})",
                      flush=True)
                next_sample += 60
        time.sleep(1.5)  # the last start's log entry is written half a second after it
        last = proc_figures(pid)
        anon_at_end = anon_by_kind(pid)
        screenshot("soak-end.png")
    finally:
        if heap_file:  # killed, so that what it holds at the end counts as not freed
            os.kill(pid, signal.SIGKILL)
        program.terminate()
        try:
            program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            program.kill()
        xvfb.terminate()
        xvfb.wait()
        log.close()

    text = open(os.path.join(work, "corvane.err")).read()
    # Kept beside the screenshots, for a look at what the program said.
    shutil.copy(os.path.join(work, "corvane.err"), os.path.join(build, "soak-corvane.err"))
    stats = re.findall(r"stats underruns=(\d+) starved=(\d+) silent=(\d) started=(\d+)", text)
    started = [os.path.splitext(os.path.basename(p))[0]
               for p in re.findall(r"^started (.*)$", text, re.M)]
    logged = read_log(os.path.join(work, "songs.log"))
    underruns, starved, silent, _ = stats[-1] if stats else ("?", "?", "?", "?")
    silent_seconds = sum(1 for s in stats if s[2] == "1")
    first_silent = next((i + 1 for i, s in enumerate(stats) if s[2] == "1"), None)
    # Each fall to the silent output, with what the driver was doing then (the report comes
    # once a second from the launch, so the step is the one under way at that second).
    falls = [i + 1 for i, s in enumerate(stats)
             if s[2] == "1" and (i == 0 or stats[i - 1][2] == "0")]
    doing = [next((k for t, k in reversed(steps) if t <= second), None) for second in falls]
    in_order = all(names.index(b) == (names.index(a) + 1) % SONGS
                   for a, b in zip(started, started[1:]) if a in names and b in names)
    growth = (max(memory[5:]) - memory[5]) / 1024 if len(memory) > 5 else float("nan")
    print(f"minutes: {minutes:g}")
    print(f"device underruns: {underruns}")
    print(f"decoder-starved buffers: {starved}")
    print(f"silent at the end: {silent}; seconds on the silent output: {silent_seconds}"
          f" (first at second {first_silent})")
    for second, kind in zip(falls, doing):
        print(f"fell to the silent output at second {second}, during step kind {kind} "
              "(0 crossfader, 1 auto-fade keys, 2 fader, 3 Options, 4 log viewer, 5 idle)")
    print(f"AutoPilot songs started: {len(started)}, logged: {len(logged)}, "
          f"log equals the starts in order: {logged == started}, starts in list order: {in_order}")
    if logged != started and logged == started[:-1]:
        # An entry is written half a second after its song starts: a start in the run's last
        # moments is cut off by the end of the run, not lost.
        print("the last start came too close to the end to be logged; all before it were")
    print("resident memory by minute (MB): " + " ".join(f"{m / 1024:.1f}" for m in memory))
    print(f"growth after minute 5: {growth:.2f} MB")
    if anon_at_5:
        print("anonymous memory after minute 5 by mapping (MB): " + ", ".join(
            f"{k} {anon_at_5[k] / 1024:.2f} -> {anon_at_end[k] / 1024:.2f}" for k in anon_at_end))
    print(f"descriptors: {first[1]} at start, {last[1]} at end; "
          f"threads: {first[2]} at start, {last[2]} at end")
    print(f"dialogs opened and closed: {dialogs[True]} (not found: {dialogs[False]})")


if __name__ == "__main__":
    main()
