#!/usr/bin/python3
"""Frame-rate, CPU, start-up and memory figures of the real game, counted from outside it.

Runs the game and, as the floor, tools/perf/empty_loop.cpp (an 800x600 window like the game's
that only clears and presents) on private Xvfb servers (tests/e2e/harness.py), each with
tools/perf/swapshim.so preloaded: the shim stores a CLOCK_MONOTONIC reading for every
glXSwapBuffers, i.e. every presented frame, in a ring file this script reads while the program
runs. Both programs get the same scripted input:

  start-up    launch; time until the first presented frame
  menu        pointer still, away from the PLAY bill, for --menu-seconds
  switch      pointer onto PLAY, left button held 100 ms; the intervals around the click
  busy        pointer sweeping, left button held (a shot every 0.5 s), a wheel notch every 40 ms;
              measured after --busy-warmup seconds of that (a few bills on the field by then)
  soak        (last run only) play with restarts for --soak-seconds: game over -> Return,
              Escape -> menu -> PLAY; resident memory sampled at each restart and at the end

and then a close request (WM_DELETE_WINDOW), after which each must exit with code 0.
Prints a table of every figure beside the floor's, their ratio, and PASS/FAIL per target.

Run from anywhere, with Debian's python3 (it has python3-xlib):

  /usr/bin/python3 tools/perf/measure.py --bin build/zorvane --content-dir build

It builds the shim and the floor with gcc/g++ into --work-dir (default /tmp/zorvane-perf).
"""

import argparse
import json
import math
import mmap
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources it imports
HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

import harness  # noqa: E402
import Xlib.X as X  # noqa: E402  (harness made Debian's Xlib importable)
from Xlib.ext import xtest  # noqa: E402

CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")

FAR_AWAY = (20, 20)     # a place on the menu away from the PLAY bill and the title
PLAY = (400, 300)       # the centre of the menu's PLAY bill
HOLD = 0.1              # buttons and keys are read as live state: hold them over a few frames
MOTION_STEP = 0.016     # a pointer move about every frame in busy play
WHEEL_GAP = 0.04        # a wheel notch every 40 ms


def mono():
    """CLOCK_MONOTONIC in seconds, the clock the shim stamps frames with."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC) / 1e9


# ---------------------------------------------------------------------------
# Building the shim and the floor
# ---------------------------------------------------------------------------


def build_tools(work_dir):
    os.makedirs(work_dir, exist_ok=True)
    jobs = [
        (os.path.join(HERE, "swapshim.c"), os.path.join(work_dir, "swapshim.so"),
         ["gcc", "-O2", "-Wall", "-Wextra", "-fPIC", "-shared"], ["-ldl", "-lpthread"]),
        (os.path.join(HERE, "empty_loop.cpp"), os.path.join(work_dir, "empty_loop"),
         ["g++", "-O2", "-Wall", "-Wextra", "-std=c++17"],
         ["-lsfml-graphics", "-lsfml-window", "-lsfml-system"]),
    ]
    for src, out, cc, libs in jobs:
        if os.path.exists(out) and os.path.getmtime(out) >= os.path.getmtime(src):
            continue
        cmd = cc + ["-o", out, src] + libs
        res = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if res.returncode != 0:
            sys.exit("building %s failed:\n%s\n%s" % (out, " ".join(cmd), res.stdout.decode()))
    return jobs[0][1], jobs[1][1]


# ---------------------------------------------------------------------------
# The shim's ring file and /proc
# ---------------------------------------------------------------------------


class Ring:
    """Reader of the shim's ring file (layout in swapshim.c)."""

    HEADER = 64

    def __init__(self, path, timeout=15.0, proc=None):
        deadline = time.monotonic() + timeout
        while True:
            try:
                fd = os.open(path, os.O_RDONLY)
                try:
                    if os.fstat(fd).st_size >= self.HEADER:
                        self.map = mmap.mmap(fd, 0, prot=mmap.PROT_READ)
                        if self.map[:8] == b"SWAPRING":
                            break
                        self.map.close()
                finally:
                    os.close(fd)
            except FileNotFoundError:
                pass
            if proc is not None and proc.poll() is not None:
                raise harness.HarnessError("the program exited (code %r) before the shim wrote its "
                                           "ring: is LD_PRELOAD honoured?" % proc.returncode)
            if time.monotonic() >= deadline:
                raise harness.HarnessError("no ring file %s after %.0f s" % (path, timeout))
            time.sleep(0.002)
        _, version, size, self.capacity = struct.unpack_from("<8sIIQ", self.map, 0)
        if version != 1 or size != 16:
            raise harness.HarnessError("ring file version %d, record size %d: unknown" % (version, size))
        self.loaded = struct.unpack_from("<Q", self.map, 32)[0] / 1e9

    def count(self):
        return struct.unpack_from("<Q", self.map, 24)[0]

    def record(self, index):
        """(seconds before the swap, seconds after it) of frame ``index`` (0 = first)."""
        before, after = struct.unpack_from("<QQ", self.map, self.HEADER + 16 * (index % self.capacity))
        return before / 1e9, after / 1e9

    def presented(self, since=0):
        """Presentation times (after each swap) of frames ``since``.. up to now."""
        n = self.count()
        if n - since > self.capacity:
            raise harness.HarnessError("ring overrun: %d frames, capacity %d" % (n - since, self.capacity))
        return [self.record(i)[1] for i in range(since, n)]

    def wait_count(self, n, timeout, proc=None):
        deadline = time.monotonic() + timeout
        while self.count() < n:
            if proc is not None and proc.poll() is not None:
                raise harness.HarnessError("the program exited (code %r)" % proc.returncode)
            if time.monotonic() >= deadline:
                raise harness.HarnessError("fewer than %d frames after %.0f s" % (n, timeout))
            time.sleep(0.001)


def cpu_seconds(pid):
    """utime + stime of the whole process (every thread), from /proc/<pid>/stat."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def write_calls(pid):
    """Write-like system calls of the process so far (syscw in /proc/<pid>/io). Nearly all are
    the X connection's flushes (writev), one per round trip or explicit flush, so per frame they
    count how often the program talks to the X server."""
    with open("/proc/%d/io" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            if key == "syscw":
                return int(value)
    raise harness.HarnessError("no syscw in /proc/%d/io" % pid)


def rss_mb(pid, key="VmRSS"):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1]) / 1024.0
    raise harness.HarnessError("no %s for pid %d" % (key, pid))


def machine_busy_seconds():
    """CPU seconds all cores spent busy since boot, from /proc/stat."""
    with open("/proc/stat") as f:
        values = [int(v) for v in f.readline().split()[1:]]
    idle = values[3] + values[4]  # idle + iowait
    return (sum(values[:8]) - idle) / CLK_TCK


def loadavg():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


# ---------------------------------------------------------------------------
# Figures
# ---------------------------------------------------------------------------


def percentile(values, p):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(p / 100.0 * len(ordered)) - 1)]


def interval_figures(times):
    """fps, p99 and longest interval (ms) of the presentation times ``times``."""
    if len(times) < 3:
        raise harness.HarnessError("only %d frames presented in a measuring window" % len(times))
    gaps = [(b - a) * 1000.0 for a, b in zip(times, times[1:])]
    return {
        "frames": len(times),
        "fps": (len(times) - 1) / (times[-1] - times[0]),
        "p99_ms": percentile(gaps, 99),
        "max_ms": max(gaps),
        "over_18ms": sum(1 for g in gaps if g > 18.0),
        "over_33ms": sum(1 for g in gaps if g > 33.0),
        "long_ms": [round(g, 1) for g in gaps if g > 18.0],
    }


class Probe:
    """Readings at the start of a measuring window; ``finish`` gives the window's figures."""

    def __init__(self, ring, pid, others):
        self.ring, self.pid, self.others = ring, pid, others
        self.first = ring.count()
        self.t0 = mono()
        self.cpu0 = cpu_seconds(pid)
        self.sys0 = write_calls(pid)
        self.mine0 = sum(cpu_seconds(p) for p in others)
        self.busy0 = machine_busy_seconds()

    def finish(self):
        t1 = mono()
        cpu1 = cpu_seconds(self.pid)
        sys1 = write_calls(self.pid)
        mine1 = sum(cpu_seconds(p) for p in self.others)
        busy1 = machine_busy_seconds()
        last = self.ring.count()
        times = [self.ring.record(i)[1] for i in range(self.first, last)]
        figures = interval_figures(times)
        figures["cpu_ms_per_frame"] = (cpu1 - self.cpu0) * 1000.0 / len(times)
        figures["x_writes_per_frame"] = (sys1 - self.sys0) / len(times)
        figures["cpu_cores"] = (cpu1 - self.cpu0) / (t1 - self.t0)
        # Everything else the machine did meanwhile (other users), in cores: the noise indicator.
        figures["others_cores"] = max(0.0, ((busy1 - self.busy0) - (cpu1 - self.cpu0)
                                            - (mine1 - self.mine0)) / (t1 - self.t0))
        swaps = [self.ring.record(i) for i in range(self.first, last)]
        figures["swap_ms"] = statistics.mean((a - b) * 1000.0 for b, a in swaps)
        return figures


# ---------------------------------------------------------------------------
# Input
# ---------------------------------------------------------------------------


class Driver:
    """Scripted input through XTEST, without waiting for round trips between steps."""

    def __init__(self, game):
        self.game = game
        self.dpy = game.dpy
        self.wx, self.wy = game.position()
        self.left_down = False
        self.phase = 0.0

    def move(self, x, y):
        xtest.fake_input(self.dpy, X.MotionNotify, x=self.wx + int(x), y=self.wy + int(y))
        self.dpy.sync()

    def button(self, button, down):
        xtest.fake_input(self.dpy, X.ButtonPress if down else X.ButtonRelease, button)
        self.dpy.sync()
        if button == 1:
            self.left_down = down

    def hold(self, button):
        self.button(button, True)
        time.sleep(HOLD)
        self.button(button, False)

    def key(self, name):
        self.game.focus()
        self.game.tap(name, hold=HOLD)

    def busy(self, seconds, probe_at=None, checker=None):
        """Busy play for ``seconds``: the pointer sweeps 100..700 at about 600 px/s, the left
        button is held, a wheel notch goes every 40 ms. ``probe_at``: {offset s: callback} run
        that far in. ``checker``: called about every 2 s; a true result ends the play early.
        Returns what ``checker`` returned, or None."""
        start = mono()
        end = start + seconds
        pending = sorted((probe_at or {}).items())
        if not self.left_down:
            self.button(1, True)
        next_wheel = start
        next_check = start + 2.0
        result = None
        while True:
            now = mono()
            while pending and now >= start + pending[0][0]:
                pending.pop(0)[1]()
            if now >= end:
                break
            if checker is not None and now >= next_check:
                result = checker()
                if result:
                    break
                next_check = mono() + 2.0
            self.phase += MOTION_STEP * 600.0
            x = 100 + abs((self.phase % 1200.0) - 600.0)   # 100..700 and back
            self.move(x, 300)
            if now >= next_wheel:
                xtest.fake_input(self.dpy, X.ButtonPress, 4)
                xtest.fake_input(self.dpy, X.ButtonRelease, 4)
                self.dpy.sync()
                next_wheel += WHEEL_GAP
            time.sleep(max(0.0, MOTION_STEP - (mono() - now)))
        while pending:  # a probe due at the very end
            pending.pop(0)[1]()
        return result


# ---------------------------------------------------------------------------
# One run of one program
# ---------------------------------------------------------------------------


def frozen(game):
    """True when two captures 0.25 s apart are identical: in play, bills fall every frame, so a
    still window is a lost game (or the floor, whose window never changes)."""
    a = game.screenshot()
    time.sleep(0.25)
    return game.screenshot().same_as(a)


def session(label, binary, cwd, shim, args, soak_seconds, log):
    """One launch of ``binary`` through the whole script; returns its figures."""
    out = {"program": label, "load_before": loadavg()}
    ring_dir = "/dev/shm" if os.path.isdir("/dev/shm") else None
    fd, ring_path = tempfile.mkstemp(prefix="zorvane-perf-", suffix=".ring", dir=ring_dir)
    os.close(fd)
    os.unlink(ring_path)  # the shim creates it; its appearance tells the preload worked
    try:
        with harness.XServer() as xs:
            time.sleep(0.5)  # let the fresh server settle before the start-up is timed
            env = {"LD_PRELOAD": shim, "SWAPSHIM_OUT": ring_path}
            t_launch = mono()
            game = xs.launch(binary, cwd=cwd, extra_env=env,
                             log_dir=tempfile.mkdtemp(prefix="zorvane-perf-log-"))
            with game:
                ring = Ring(ring_path, proc=game.proc)
                ring.wait_count(1, 20, game.proc)
                out["startup_ms"] = (ring.record(0)[1] - t_launch) * 1000.0
                out["loaded_ms"] = (ring.loaded - t_launch) * 1000.0
                game.wait_for_window()
                game.focus()
                drv = Driver(game)
                drv.move(*FAR_AWAY)  # Xvfb starts with the pointer over the PLAY bill
                time.sleep(1.5)
                others = [os.getpid(), xs.proc.pid]

                log("  %s: menu, pointer still, %.0f s" % (label, args.menu_seconds))
                probe = Probe(ring, game.pid, others)
                time.sleep(args.menu_seconds)
                out["menu"] = probe.finish()

                log("  %s: PLAY" % label)
                drv.move(*PLAY)
                time.sleep(0.3)
                t_press = mono()
                drv.hold(1)
                time.sleep(args.switch_window)
                times = [t for t in ring.presented() if t_press - 0.25 <= t <= t_press + args.switch_window]
                out["switch"] = interval_figures(times)

                log("  %s: busy play, %.0f s + %.0f s measured"
                    % (label, args.busy_warmup, args.busy_seconds))
                probes = {}

                def begin():
                    probes["busy"] = Probe(ring, game.pid, others)

                def end():
                    out["busy"] = probes["busy"].finish()

                drv.busy(args.busy_warmup + args.busy_seconds,
                         probe_at={args.busy_warmup: begin, args.busy_warmup + args.busy_seconds: end})

                if soak_seconds > 0:
                    log("  %s: soak with restarts, %.0f s" % (label, soak_seconds))
                    out["soak"] = soak(game, drv, soak_seconds, log, label)
                out["rss_mb"] = rss_mb(game.pid)
                out["hwm_mb"] = rss_mb(game.pid, "VmHWM")
                out["frames_total"] = ring.count()

                if drv.left_down:
                    drv.button(1, False)
                game.close()
                out["exit_code"] = game.wait_exit(10)
                if out["exit_code"] is None:
                    raise harness.HarnessError("%s still runs 10 s after the close request" % label)
    finally:
        if os.path.exists(ring_path):
            os.unlink(ring_path)
    out["load_after"] = loadavg()
    return out


def soak(game, drv, seconds, log, label):
    """Play with restarts until ``seconds`` have passed: each round plays to game over, Return,
    plays 4 s more, Escape to the menu, PLAY. Resident memory is sampled in the same state each
    round: on the menu 1 s after Escape, and 1 s after Return."""
    deadline = mono() + seconds
    samples = {"menu": [], "restart": []}
    rounds = 0
    while mono() < deadline:
        drv.busy(min(60.0, max(0.0, deadline - mono())), checker=lambda: frozen(game))
        if mono() >= deadline:
            break
        drv.key("Return")
        time.sleep(1.0)
        samples["restart"].append(rss_mb(game.pid))
        drv.busy(4.0)
        drv.button(1, False)
        drv.move(*FAR_AWAY)
        drv.key("Escape")
        time.sleep(1.0)
        samples["menu"].append(rss_mb(game.pid))
        drv.move(*PLAY)
        time.sleep(0.3)
        drv.hold(1)
        time.sleep(1.0)
        rounds += 1
        log("    %s round %d: RSS %.1f MB after Return, %.1f MB on the menu"
            % (label, rounds, samples["restart"][-1], samples["menu"][-1]))
    if drv.left_down:
        drv.button(1, False)
    return {"rounds": rounds, "samples": samples}


def growth(samples):
    """RSS growth (MB) from the second sample of a series to its last: the first round still
    fills caches that every later round reuses."""
    series = samples[1:] if len(samples) >= 3 else samples
    return series[-1] - series[0] if len(series) >= 2 else None


# ---------------------------------------------------------------------------
# Report
# ---------------------------------------------------------------------------


def summary(values):
    """(median, min, max) of the numbers that are not None."""
    values = [v for v in values if v is not None]
    if not values:
        return None
    return statistics.median(values), min(values), max(values)


def fmt(stat, digits):
    if stat is None:
        return "-"
    med, lo, hi = stat
    if lo == hi:
        return "%.*f" % (digits, med)
    return "%.*f [%.*f-%.*f]" % (digits, med, digits, lo, digits, hi)


def report(game_runs, floor_runs, args):
    def pick(runs, *path):
        values = []
        for r in runs:
            v = r
            for key in path:
                v = v.get(key) if isinstance(v, dict) else None
            values.append(v)
        return values

    def both(*path):
        return summary(pick(game_runs, *path)), summary(pick(floor_runs, *path))

    rows = []   # (figure, game stat, floor stat, digits, target text, verdict)
    verdicts = []

    def verdict(name, ok, note=None):
        text = "PASS" if ok else "FAIL"
        if note:
            text = note
        verdicts.append((name, text))
        return text

    g, f = both("startup_ms")
    v = verdict("start-up", g[0] - f[0] <= 100.0)
    rows.append(("start-up to first frame (ms)", g, f, 0, "<= floor + 100", v))

    for phase, title in (("menu", "menu, idle"), ("busy", "busy play")):
        g, f = both(phase, "fps")
        note = None
        if f[0] < 59.5:
            note = "SKIP (floor %.2f < 59.5 fps: machine busy)" % f[0]
        v = verdict(title + " fps", g[0] >= 59.0, note)
        rows.append((title + ": frames per second", g, f, 2, ">= 59", v))
        g, f = both(phase, "p99_ms")
        note = None
        if f[0] > 18.0:
            note = "SKIP (floor %.1f > 18 ms: machine busy)" % f[0]
        v = verdict(title + " p99", g[0] <= 18.0, note)
        rows.append((title + ": p99 frame interval (ms)", g, f, 1, "<= 18", v))
        g, f = both(phase, "max_ms")
        rows.append((title + ": longest frame interval (ms)", g, f, 1, "", ""))
        g, f = both(phase, "cpu_ms_per_frame")
        rows.append((title + ": CPU per frame (ms)", g, f, 2, "", ""))
        g, f = both(phase, "x_writes_per_frame")
        rows.append((title + ": writes to the X server per frame", g, f, 1, "", ""))

    def cpu_ratio(runs):
        return summary([b / m for b, m in zip(pick(runs, "busy", "cpu_ms_per_frame"),
                                              pick(runs, "menu", "cpu_ms_per_frame"))])

    g, f = cpu_ratio(game_runs), cpu_ratio(floor_runs)
    v = verdict("busy CPU / menu CPU", g[0] <= 1.5)
    rows.append(("busy play CPU per frame / menu's", g, f, 2, "<= 1.5", v))

    g, f = both("switch", "max_ms")
    note = None
    if f[0] > 33.0:
        note = "SKIP (floor %.1f > 33 ms: machine busy)" % f[0]
    v = verdict("menu-to-game switch", g[0] <= 33.0, note)
    rows.append(("menu -> game: longest frame interval (ms)", g, f, 1, "<= 33", v))

    g, f = both("rss_mb")
    v = verdict("RSS", g[0] - f[0] <= 40.0)
    rows.append(("resident memory after the soak (MB)", g, f, 1, "<= floor + 40", v))

    soaked = [r for r in game_runs if "soak" in r]
    floor_soaked = [r for r in floor_runs if "soak" in r]
    grow_rows = []
    for key, title in (("restart", "RSS growth, after Return (MB)"),
                       ("menu", "RSS growth, on the menu (MB)")):
        gg = [growth(r["soak"]["samples"][key]) for r in soaked]
        ff = [growth(r["soak"]["samples"][key]) for r in floor_soaked]
        gs = summary(gg)
        enough = bool(soaked) and len(soaked[0]["soak"]["samples"][key]) >= 3
        grow_rows.append((title, gs, summary(ff), 1, "<= %.0f" % args.growth_mb,
                          enough and gs[0] <= args.growth_mb, enough))
    if all(r[6] for r in grow_rows):
        v = verdict("RSS not growing", all(r[5] for r in grow_rows))
    else:
        v = verdict("RSS not growing", False, "SKIP (fewer than 3 soak rounds: lengthen --soak-seconds)")
    for r in grow_rows:
        rows.append(r[:5] + (v,))

    heads = ("figure", "game", "floor", "game/floor", "target", "result")
    table = []
    for name, g, f, digits, target, v in rows:
        if g is not None and f is not None and f[0]:
            ratio_text = "%.2f" % (g[0] / f[0])
        else:
            ratio_text = "-"
        table.append((name, fmt(g, digits), fmt(f, digits), ratio_text, target, v))
    widths = [max(len(str(r[i])) for r in table + [heads]) for i in range(len(heads))]
    lines = []
    line = "  ".join(h.ljust(w) for h, w in zip(heads, widths)).rstrip()
    lines.append(line)
    lines.append("-" * len(line))
    for r in table:
        lines.append("  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
    return lines, verdicts


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--bin", default=os.path.join(REPO, "build", "zorvane"), help="the game executable")
    ap.add_argument("--content-dir", help="working directory holding Content/ (default: the binary's folder)")
    ap.add_argument("--work-dir", default="/tmp/zorvane-perf", help="where the shim and the floor are built")
    ap.add_argument("--runs", type=int, default=3, help="runs of each program, interleaved (default 3)")
    ap.add_argument("--menu-seconds", type=float, default=10.0, help="menu window (default 10)")
    ap.add_argument("--switch-window", type=float, default=2.0,
                    help="seconds after the click that count for the switch (default 2)")
    ap.add_argument("--busy-warmup", type=float, default=8.0,
                    help="busy play before its window starts (default 8)")
    ap.add_argument("--busy-seconds", type=float, default=14.0,
                    help="busy play window; ends before the first game can be lost (default 14)")
    ap.add_argument("--soak-seconds", type=float, default=180.0,
                    help="play with restarts in the last run, then RSS (default 180)")
    ap.add_argument("--floor-soak-seconds", type=float,
                    help="the floor's soak (default: the same as the game's)")
    ap.add_argument("--growth-mb", type=float, default=2.0,
                    help="allowed RSS growth from the second restart to the last (default 2)")
    ap.add_argument("--json", help="also write every figure of every run to this file")
    args = ap.parse_args()

    binary = os.path.abspath(args.bin)
    content = os.path.abspath(args.content_dir or os.path.dirname(binary))
    if not os.access(binary, os.X_OK):
        sys.exit("no game executable at %s (build it, or pass --bin)" % binary)
    if not os.path.isdir(os.path.join(content, "Content")):
        sys.exit("%s has no Content/ folder (pass --content-dir)" % content)
    if args.busy_warmup + args.busy_seconds > 24.0:
        sys.exit("--busy-warmup + --busy-seconds must stay under 24 s: the third bill escapes at "
                 "about 19 s and the fifth, which ends the game, at about 29 s")
    floor_soak = args.soak_seconds if args.floor_soak_seconds is None else args.floor_soak_seconds
    shim, floor = build_tools(args.work_dir)

    def log(text):
        print(text, file=sys.stderr, flush=True)

    log("load average %.2f, %d cores" % (loadavg(), os.cpu_count()))
    game_runs, floor_runs = [], []
    for i in range(args.runs):
        last = i == args.runs - 1
        order = [("floor", floor, os.path.dirname(floor)), ("game", binary, content)]
        if i % 2:
            order.reverse()  # alternate, so a drift in the machine's load hits both alike
        for label, exe, cwd in order:
            log("run %d/%d, %s" % (i + 1, args.runs, label))
            soak_s = (args.soak_seconds if label == "game" else floor_soak) if last else 0.0
            result = session(label, exe, cwd, shim, args, soak_s, log)
            (game_runs if label == "game" else floor_runs).append(result)
            if result["exit_code"] != 0:
                log("  %s exited with code %r" % (label, result["exit_code"]))

    lines, verdicts = report(game_runs, floor_runs, args)
    print("Zorvane - Quendral frame figures: %s, %d run(s); median [min-max] over the runs"
          % (binary, args.runs))
    print("(soak: %.0f s for the game, %.0f s for the floor, in the last run)" % (args.soak_seconds, floor_soak))
    print()
    for line in lines:
        print(line)
    print()
    for label, runs in (("game", game_runs), ("floor", floor_runs)):
        for i, r in enumerate(runs):
            print("%s run %d: load %.2f -> %.2f; others' CPU during menu %.2f, busy %.2f cores; "
                  "swap %.2f/%.2f ms (menu/busy); frames >18 ms: menu %d/%d, busy %d/%d; "
                  "loaded after %.0f ms; exit %r"
                  % (label, i + 1, r["load_before"], r["load_after"], r["menu"]["others_cores"],
                     r["busy"]["others_cores"], r["menu"]["swap_ms"], r["busy"]["swap_ms"],
                     r["menu"]["over_18ms"], r["menu"]["frames"], r["busy"]["over_18ms"],
                     r["busy"]["frames"], r["loaded_ms"], r["exit_code"]))
            print("%s run %d: start-up %.0f ms; intervals over 18 ms around PLAY: %s"
                  % (label, i + 1, r["startup_ms"], r["switch"]["long_ms"] or "none"))
            if "soak" in r:
                s = r["soak"]
                print("%s soak: %d rounds; RSS after Return %s MB; on the menu %s MB" % (
                    label, s["rounds"], " ".join("%.1f" % v for v in s["samples"]["restart"]),
                    " ".join("%.1f" % v for v in s["samples"]["menu"])))
    exits_ok = all(r["exit_code"] == 0 for r in game_runs + floor_runs)
    verdicts.append(("exit code 0 after the close request", "PASS" if exits_ok else "FAIL"))
    print()
    for name, v in verdicts:
        print("%-40s %s" % (name, v))
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"game": game_runs, "floor": floor_runs, "args": vars(args)}, f, indent=1)
    failed = [name for name, v in verdicts if v == "FAIL"]
    print("\nperf: %d targets passed, %d failed, %d skipped" % (
        sum(1 for _, v in verdicts if v == "PASS"), len(failed),
        sum(1 for _, v in verdicts if v.startswith("SKIP"))))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
