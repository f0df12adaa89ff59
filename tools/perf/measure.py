#!/usr/bin/python3
"""The game's frames beside two floors, measured from outside on one private Xvfb.

The floors are floor.cpp, beside this file: a window like the game's that clears and presents
each frame and, with --picture, also copies one opaque 800x600 picture over itself, as the game
draws its backdrop. Picture floor, clear floor, game, game, clear floor, picture floor each get
the same script: start-up, the menu, a click on PLAY, busy play, memory. Prints the figures with
PASS/FAIL per target and exits with 1 when one fails; docs/performance.md tells more.

    /usr/bin/python3 tools/perf/measure.py [--bin build/zorvane] [--window 5]
"""

import argparse
import collections
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import driver  # noqa: E402

WRAP = 1 << 32  # the server's millisecond clock is 32 bits wide
ORDER = ("picture floor", "clear floor", "game", "game", "clear floor", "picture floor")
others = []  # cores the rest of the machine took in each measuring window


class Run:
    """One launch of a program: its frames, the input the script gives it, and its figures."""

    def __init__(self, x, command, cwd, into):
        self.x, self.into, self.frames = x, into, driver.Frames(x)  # sees the very first frame
        start = x.server_time()
        self.game = x.start(command, cwd=cwd)
        self.wait(1, 30)
        into["start-up"].append((self.frames.times[0] - start) % WRAP)
        self.game.focus()
        self.game.menu()

    def wait(self, count, timeout=20):
        self.frames.wait(count, timeout, self.game.running)
        if not self.game.running():
            raise driver.DriverError("%s exited" % self.game.proc.args[0])

    def busy(self):
        """CPU seconds all cores have been busy since boot, less Xvfb's and this tool's."""
        with open("/proc/stat") as f:
            ticks = [int(v) for v in f.readline().split()[1:8]]
        machine = (sum(ticks) - ticks[3] - ticks[4]) / os.sysconf("SC_CLK_TCK")  # not idle
        return machine - driver.cpu_seconds(self.x.proc.pid) - sum(os.times()[:2])

    def span(self, seconds, key, step=lambda i: None):
        """Runs step(i) once a frame for `seconds` of frames; keeps the frame intervals (ms) and
        the program's CPU ms per frame under key, and what the rest of the machine took."""
        self.wait(1)
        times, first = self.frames.times, len(self.frames.times) - 1
        cpu, busy, wall = self.game.cpu_seconds(), self.busy(), time.time()
        i = 0
        while (times[-1] - times[first]) % WRAP < seconds * 1000:
            step(i)
            i += 1
            self.wait(1)
        cpu = self.game.cpu_seconds() - cpu
        others.append(max(0.0, self.busy() - busy - cpu) / (time.time() - wall))
        self.into[key + " ms"] += [(b - a) % WRAP for a, b in zip(times[first:], times[first + 1:])]
        self.into[key + " cpu"].append(1000 * cpu / (len(times) - 1 - first))

    def sweep(self, i):
        """Busy play's input in frame i: the pointer 10 px on along 100..700 and back, the left
        button held, a notch of the wheel every third frame."""
        self.game.move(100 + abs(i * 10 % 1200 - 600), 450)
        if i % 3 == 0:
            self.game.press(4)
            self.game.release(4)

    def script(self, window, is_game):
        self.span(window, "menu")
        self.game.move(*driver.PLAY)
        self.wait(3)
        menu = self.game.capture()
        self.span(1, "switch", lambda i: i == 0 and self.game.click())
        if is_game and self.game.wait_change(menu, 5) is None:
            raise driver.DriverError("a click on PLAY did not start a game")
        self.game.press(1)
        self.span(6, "warm-up", self.sweep)  # the field fills
        self.span(window, "busy play", self.sweep)
        self.game.release(1)
        self.into["memory"].append(self.game.rss_mib())
        self.game.close()
        self.game.wait_exit(30)
        self.game.wait_gone()  # so none of its frames counts as the next program's
        self.frames.close()


def p99(gaps):
    return sorted(gaps)[-(-99 * len(gaps) // 100) - 1]  # nearest rank


FIGURES = (  # name, what of the launches' figures, digits, target: how and limit
    ("start-up to the first frame (ms)", "start-up", statistics.median, 0, "+", 100),
    ("CPU per frame, menu (ms)", "menu cpu", statistics.mean, 2, "x", 1.25),
    ("CPU per frame, busy play (ms)", "busy play cpu", statistics.mean, 2, "x", 1.25),
    ("p99 frame interval, menu (ms)", "menu ms", p99, 0, "+", 3),
    ("p99 frame interval, busy play (ms)", "busy play ms", p99, 0, "+", 3),
    ("PLAY switch, longest interval (ms)", "switch ms", max, 0, "<=", 33),
    ("resident memory (MiB)", "memory", max, 1, "+", 40))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(HERE, "..", "..", "build", "zorvane"),
                        help="the game's program, beside its Content/ (default: build/zorvane)")
    parser.add_argument("--window", type=float, default=5, help="seconds of each measuring window")
    args = parser.parse_args()
    binary = os.path.realpath(args.bin)
    began, load = time.time(), os.getloadavg()[0]
    results = {name: collections.defaultdict(list) for name in ORDER}
    with tempfile.TemporaryDirectory(prefix="zorvane-perf-") as tmp, driver.Xvfb(1024, 1024) as x:
        floor = os.path.join(tmp, "floor")
        root = os.path.join(HERE, "..", "..")
        subprocess.run(["g++", "-O2", "-std=c++17", "-I", root, "-o", floor,
                        os.path.join(HERE, "floor.cpp"), os.path.join(root, "app", "SfmlAdapter.cpp"),
                        "-lsfml-graphics", "-lsfml-window", "-lsfml-system"], check=True)
        for name in ORDER:
            print("measuring the %s..." % name, file=sys.stderr, flush=True)
            command = {"game": [binary], "clear floor": [floor]}.get(name, [floor, "--picture"])
            cwd = os.path.dirname(binary) if name == "game" else tmp
            Run(x, command, cwd, results[name]).script(args.window, name == "game")

    rows = [("figure", "game", "picture floor", "clear floor", "vs floor", "target", "result")]
    for name, key, figure, digits, how, limit in FIGURES:
        g, f, c = (figure(results[k][key]) for k in ("game", "picture floor", "clear floor"))
        versus = {"x": "%.2fx" % (g / f), "+": "%+.*f" % (digits, g - f)}.get(how, "")
        target = {"x": "<= %gx floor", "+": "<= floor + %g"}.get(how, "<= %g") % limit
        ok = {"x": g <= limit * f, "+": g - f <= limit}.get(how, g <= limit)
        rows.append((name,) + tuple("%.*f" % (digits, v) for v in (g, f, c))
                    + (versus, target, "PASS" if ok else "FAIL"))
    print("%s; load average %.2f, then %.2f; the rest of the machine took %.2f of %d cores" % (
        binary, load, os.getloadavg()[0], statistics.mean(others), os.cpu_count()))
    for r in rows:
        print("%-34s  %-6s  %-13s  %-11s  %-8s  %-14s  %s" % r)
    failed = sum(r[-1] == "FAIL" for r in rows)
    print("%d of %d targets met; took %.0f s" % (len(FIGURES) - failed, len(FIGURES),
                                                 time.time() - began))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
