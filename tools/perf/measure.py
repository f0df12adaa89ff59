#!/usr/bin/python3
"""What the game's frames cost beside an empty window of the same kind: the floor.

On one private Xvfb (Mesa's llvmpipe draws), the floor (empty_loop.cpp beside this file: an
800x600 window like the game's that only clears to white and presents, capped at 60 fps) and
the game are started in turn, floor, game, game, floor, and each gets the same input:

  start-up   process start to the first presented frame
  menu       the pointer still, away from PLAY; then again beside two CPU-bound processes
  switch     a click on PLAY; the longest frame interval from the press to a second after it
  busy play  the pointer sweeping, the left button held (a shot every half second), the wheel
             turning: a warm-up, then idle, then beside two CPU-bound processes; resident memory
Then the game once more with a 1x1 moneybill.png: start-up, and frames per second on the menu
and in play. A frame is one the window presents, stamped by the X server (tools/driver.py).
Prints every figure beside the floor's with PASS/FAIL per target; exits with 1 when one fails.

    /usr/bin/python3 tools/perf/measure.py [--bin build/zorvane] [--dir build]
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, "tools"))
import driver  # noqa: E402
import Xlib.error  # noqa: E402  (Debian's python3-xlib and PIL, made importable by the driver)
from PIL import Image  # noqa: E402

AWAY, PLAY = (20, 20), (400, 300)  # window pixels: the menu's top-left corner, its PLAY bill
WRAP = 1 << 32                     # the server's millisecond clock is 32 bits wide
CLK_TCK = os.sysconf("SC_CLK_TCK")


def build_floor(cache):
    source = os.path.join(HERE, "empty_loop.cpp")
    floor = os.path.join(cache, "zorvane_floor")
    if not os.path.exists(floor) or os.path.getmtime(floor) < os.path.getmtime(source):
        os.makedirs(cache, exist_ok=True)
        subprocess.run(["g++", "-O2", "-std=c++17", "-o", floor, source, "-lsfml-graphics",
                        "-lsfml-window", "-lsfml-system"], check=True)
    return floor


def machine_busy():
    """CPU seconds all cores have spent busy since boot."""
    with open("/proc/stat") as f:
        ticks = [int(v) for v in f.readline().split()[1:8]]
    return (sum(ticks) - ticks[3] - ticks[4]) / CLK_TCK  # less idle and iowait


class Hogs:
    """Two CPU-bound processes for as long as the with block lasts."""

    def __enter__(self):
        if shutil.which("stress-ng"):
            commands = [["stress-ng", "--cpu", "2", "--quiet", "--timeout", "120"]]
        else:
            commands = [["yes"], ["yes"]]
        self.procs = [subprocess.Popen(c, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       start_new_session=True) for c in commands]
        return self

    def __exit__(self, *exc):
        for proc in self.procs:
            os.killpg(proc.pid, signal.SIGTERM)  # stress-ng's workers are in its group
            proc.wait(10)


class Span:
    """The frames of one measuring window and the CPU the program used over them."""

    def __init__(self, times, cpu, others):
        self.gaps = [(b - a) % WRAP for a, b in zip(times, times[1:])]
        self.seconds = sum(self.gaps) / 1000
        self.cpu, self.others = cpu, others


class Session:
    """One launch of a program on the display, its frames, and the input the script gives it."""

    def __init__(self, x, command, cwd, first_frame_timeout=30):
        self.x = x
        self.frames = driver.Frames(x)  # made first, so it sees the window's very first frame
        start = x.server_time()
        self.game = x.start(command, cwd=cwd)
        self.wait_frames(1, first_frame_timeout, 0.001)
        self.startup_ms = (self.frames.times[0] - start) % WRAP
        self.game.wait_window()
        self.game.focus()
        self.game.move(*AWAY)  # Xvfb starts with the pointer on the PLAY bill

    def wait_frames(self, count, timeout=20, interval=0.004):
        want = len(self.frames.times) + count

        def presented():
            if not self.game.running():
                raise driver.DriverError("the program exited with %d" % self.game.proc.returncode)
            return self.frames.poll() >= want
        driver.wait_until(presented, timeout, "%d more frames" % count, interval)

    def span(self, seconds, step=None):
        """The frames presented over the next `seconds`, running step(i) once a frame."""
        self.wait_frames(1)
        times = self.frames.times
        first = len(times) - 1
        cpu, wall, busy, mine = (self.game.cpu_seconds(), time.monotonic(), machine_busy(),
                                 driver.cpu_seconds(self.x.proc.pid) + sum(os.times()[:2]))
        i = 0
        while (times[-1] - times[first]) % WRAP < seconds * 1000:
            if step:
                step(i)
            i += 1
            self.wait_frames(1)
        cpu = self.game.cpu_seconds() - cpu
        mine = driver.cpu_seconds(self.x.proc.pid) + sum(os.times()[:2]) - mine
        others = (machine_busy() - busy - cpu - mine) / (time.monotonic() - wall)
        return Span(times[first:], cpu, max(0.0, others))

    def sweep(self, i):
        """Busy play's input for frame i: the pointer sweeps 100..700 px at 600 px/s (at 60
        fps) and back, and the wheel turns a notch every third frame."""
        phase = i * 10 % 1200
        self.game.move(100 + abs(phase - 600), 450)
        if i % 3 == 0:
            self.game.press(4)
            self.game.release(4)

    def click_play(self, starts_game=True):
        """Clicks PLAY; the frames from the last one before the press to a second after it."""
        self.game.move(*PLAY)
        self.wait_frames(3)
        menu = self.game.capture()
        span = self.span(1.0, lambda i: self.game.click() if i == 0 else None)
        if starts_game and self.game.wait_change(menu, 5) is None:
            raise driver.DriverError("a click on PLAY did not start a game")
        return span

    def close(self):
        """Asks the program to close; its exit code, once its window is gone from the screen."""
        window = self.game.wait_window()
        self.game.close()
        code = self.game.wait_exit(30)

        def gone():
            try:
                window.get_attributes()
            except Xlib.error.BadWindow:
                return True
        driver.wait_until(gone, 10, "the window gone")
        return code


def run_script(x, command, cwd, args, into, is_game):
    """The whole script on one launch; adds its figures to the lists in `into`."""
    s = Session(x, command, cwd)
    into["startup"].append(s.startup_ms)
    s.wait_frames(30)
    into["menu"].append(s.span(args.window))
    with Hogs():
        s.wait_frames(20)
        into["menu, 2 CPU hogs"].append(s.span(args.window))
    into["switch"].append(s.click_play(is_game))
    s.game.press(1)
    s.span(args.warmup, s.sweep)
    into["busy play"].append(s.span(args.window, s.sweep))
    with Hogs():
        s.span(0.3, s.sweep)
        into["busy play, 2 CPU hogs"].append(s.span(args.window, s.sweep))
    s.game.release(1)
    into["rss"].append(s.game.rss_mib())
    into["exit"].append(s.close())


def run_tiny_bill(x, binary, content, into):
    """The game with a 1x1 moneybill.png: start-up, then frames per second on menu and play."""
    with tempfile.TemporaryDirectory(prefix="zorvane-1x1-") as folder:
        shutil.copytree(os.path.join(content, "Content"), os.path.join(folder, "Content"))
        Image.new("RGBA", (1, 1), (60, 130, 70, 255)).save(
            os.path.join(folder, "Content", "moneybill.png"))
        s = Session(x, [binary], folder, first_frame_timeout=120)
        into["startup"].append(s.startup_ms)
        s.wait_frames(2, 60)
        into["menu"].append(s.span(3.0))
        into["switch"].append(s.click_play())
        into["play"].append(s.span(3.0))
        into["exit"].append(s.close())


def p99(spans):
    gaps = sorted(g for s in spans for g in s.gaps)
    return gaps[max(0, -(-99 * len(gaps) // 100) - 1)]  # nearest rank


def fps(spans):
    return sum(len(s.gaps) for s in spans) / sum(s.seconds for s in spans)


def cpu_ms(spans):
    return 1000 * sum(s.cpu for s in spans) / sum(len(s.gaps) for s in spans)


def longest(spans):
    return max(max(s.gaps) for s in spans)


def report(game, floor, tiny):
    """The table's rows: figure, game, floor, comparison, target, verdict."""
    rows = []

    def row(name, g, f, digits, how, limit):
        if how == "ratio":
            comparison, target, ok = "%.2fx" % (g / f), "<= %gx floor" % limit, g <= limit * f
        elif how == "plus":
            comparison, target = "%+.*f" % (digits, g - f), "<= floor + %g" % limit
            ok = g - f <= limit
        elif how == "fps":
            comparison, target, ok = "%.2fx" % (g / f), ">= %gx floor" % limit, g >= limit * f
        else:
            comparison, target, ok = "", "<= %g" % limit, g <= limit
        rows.append((name, "%.*f" % (digits, g), "%.*f" % (digits, f), comparison, target,
                     "PASS" if ok else "FAIL"))

    row("start-up to the first frame (ms)", statistics.median(game["startup"]),
        statistics.median(floor["startup"]), 0, "plus", 100)
    for scene in ("menu", "busy play"):
        row("CPU per frame, %s (ms)" % scene, cpu_ms(game[scene]), cpu_ms(floor[scene]), 2,
            "ratio", 1.5)
    for scene in ("menu", "menu, 2 CPU hogs", "busy play", "busy play, 2 CPU hogs"):
        row("p99 frame interval, %s (ms)" % scene, p99(game[scene]), p99(floor[scene]), 0,
            "plus", 3)
    row("menu-to-game switch, longest interval (ms)", longest(game["switch"]),
        longest(floor["switch"]), 0, "at most", 33)
    row("resident memory (MiB)", max(game["rss"]), max(floor["rss"]), 1, "plus", 40)
    row("1x1 bill: start-up to the first frame (ms)", tiny["startup"][0],
        statistics.median(floor["startup"]), 0, "at most", 2000)
    row("1x1 bill: frames per second, menu", fps(tiny["menu"]), fps(floor["menu"]), 1, "fps", 0.95)
    row("1x1 bill: frames per second, play", fps(tiny["play"]), fps(floor["menu"]), 1, "fps", 0.95)
    codes = game["exit"] + floor["exit"] + tiny["exit"]
    rows.append(("exit codes after the close request",
                 " ".join(map(str, game["exit"] + tiny["exit"])), " ".join(map(str, floor["exit"])),
                 "", "0", "PASS" if not any(codes) else "FAIL"))
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(REPO, "build", "zorvane"),
                        help="the game's program (default: build/zorvane)")
    parser.add_argument("--dir", help="the folder holding its Content/ (default: the program's)")
    parser.add_argument("--window", type=float, default=5.0,
                        help="seconds of each measuring window (default 5)")
    parser.add_argument("--warmup", type=float, default=5.5,
                        help="seconds of busy play before its windows: bills and clocks gather")
    parser.add_argument("--cache", default=os.path.join(tempfile.gettempdir(), "zorvane-perf"),
                        help="where the floor is built (default: %(default)s)")
    args = parser.parse_args()
    binary = os.path.abspath(args.bin)
    content = os.path.abspath(args.dir or os.path.dirname(binary))
    if not os.path.isdir(os.path.join(content, "Content")):
        sys.exit("no Content/ in %s: build the game, or name its folder with --dir" % content)

    began = time.monotonic()
    floor_bin = build_floor(args.cache)
    load = os.getloadavg()[0]
    keys = ("startup", "menu", "menu, 2 CPU hogs", "switch", "busy play",
            "busy play, 2 CPU hogs", "rss", "exit")
    game, floor = ({k: [] for k in keys} for _ in range(2))
    tiny = {k: [] for k in ("startup", "menu", "switch", "play", "exit")}
    with driver.Xvfb(1024, 1024) as x:
        for name in ("floor", "game", "game", "floor"):
            print("measuring the %s..." % name, file=sys.stderr, flush=True)
            if name == "floor":
                run_script(x, [floor_bin], args.cache, args, floor, False)
            else:
                run_script(x, [binary], content, args, game, True)
        print("measuring the game with a 1x1 bill...", file=sys.stderr, flush=True)
        run_tiny_bill(x, binary, content, tiny)

    rows = report(game, floor, tiny)
    heads = ("figure", "game", "floor", "game vs floor", "target", "result")
    widths = [max(len(r[i]) for r in rows + [heads]) for i in range(len(heads))]
    idle = [s for f in (game, floor) for k in ("menu", "busy play") for s in f[k]]
    print("%s beside the floor; %d cores, load average %.2f at the start; the rest of the "
          "machine took %.2f cores in the windows without hogs"
          % (binary, os.cpu_count(), load, statistics.mean(s.others for s in idle)))
    for r in [heads] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
    print("\nper window: frames per second, longest interval ms, CPU ms per frame, "
          "others' CPU in cores (the rest of the machine)")
    for label, figures in (("floor", floor), ("game", game), ("1x1 bill", tiny)):
        for key, spans in figures.items():
            if spans and isinstance(spans[0], Span):
                print("  %-8s %-21s %s" % (label, key, ";  ".join(
                    "%.1f fps, %d, %.2f, %.2f" % (len(s.gaps) / s.seconds, max(s.gaps),
                                                 1000 * s.cpu / len(s.gaps), s.others)
                    for s in spans)))
        print("  %-8s %-21s %s" % (label, "start-up ms",
                                   ", ".join("%d" % v for v in figures["startup"])))
    failed = sum(r[-1] == "FAIL" for r in rows)
    print("\n%d of %d targets met; took %.0f s" % (len(rows) - failed, len(rows),
                                                   time.monotonic() - began))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
