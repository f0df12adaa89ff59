#!/usr/bin/python3
"""Soak test: the real game under random input for a while, on a private Xvfb.

    /usr/bin/python3 tools/soak.py [--seconds 60] [--seed 1] [--bin build/zorvane]
                                   [--content-dir build] [--sample 5]

Random pointer motion, wheel turns, button presses held 50-300 ms, Escape, Return, Ctrl and
clicks on PLAY keep the game switching between the menu and play. The inputs come from a
generator seeded with --seed, so a run repeats the same sequence of random draws; which input a
draw becomes depends on the scene the window shows (PLAY is clicked more often on the menu,
Escape pressed more often in play), and the game's own timing and time-seeded bills vary.
Now and then, while more than a minute is left, a game is left to run until it is lost, so that
Return starts a fresh one.
Resident memory (VmRSS) is sampled every --sample seconds.

At the end the window is closed and the run passes (exit 0) when the game exited with code 0,
printed nothing, switched scenes at least once, and its resident memory at the end is within 10%
of what it was after the first minute (after the first third of the run, for runs shorter than
two minutes). A short report is printed either way.
"""

import argparse
import os
import random
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

WIDTH, HEIGHT = 800, 600
BILL = (275, 252, 525, 348)             # the menu's large bill (PLAY); left/top edges outside
TITLE_AREA = (0, 0, WIDTH, 200)         # the menu's title; the score panel in play
FAR_AWAY = (20, 20)
TOLERANCE = 0.10
PATIENT_SHARE = 0.15    # games left to run until they are lost


def say(text):
    print("soak: " + text, flush=True)



def over_bill(x, y):
    x0, y0, x1, y1 = BILL
    return x0 < x <= x1 and y0 < y <= y1


class Soak:
    def __init__(self, game, counter, rng, menu):
        self.game = game
        self.counter = counter
        self.seeds = rng
        self.rng = rng
        self.menu = menu            # the menu with the pointer away from the bill
        self.scene = "menu"         # what the window was last seen to show
        self.switches = 0           # scene switches the inputs caused, each one seen on screen
        self.games_started = 0
        self.restarts = 0
        self.actions = {}
        self.pointer = FAR_AWAY
        self.patient = False
        self.deadline = float("inf")

    def count(self, kind):
        self.actions[kind] = self.actions.get(kind, 0) + 1

    def look(self):
        """'menu', 'over' (a lost game) or 'game', from a capture of the window."""
        shot = self.game.screenshot()
        # in play the score panel alone changes some 20000 pixels of the title area
        if len(shot.diff(self.menu, TITLE_AREA, threshold=2)) < 1000:
            return "menu"
        return "over" if harness.panel_fit(self.menu, shot) >= 0.8 else "game"

    def settle(self, before, expect_change):
        """After an input that may switch scenes: look until the window shows another scene
        (up to 1 s), and count the switch when it does."""
        deadline = time.monotonic() + (1.0 if expect_change else 0.0)
        while True:
            now = self.look()
            if now != before and not (before == "game" and now == "over"):
                break
            if time.monotonic() >= deadline:
                break
            time.sleep(0.05)
        if now != before and not (before == "game" and now == "over"):
            self.switches += 1
            if before == "menu":
                self.games_started += 1
                # Now and then a game is left to run until it is lost (about 35 s), so that
                # Return gets to start a fresh one; only while there is time for it.
                self.patient = (time.monotonic() + 60 < self.deadline
                                and self.rng.random() < PATIENT_SHARE)
            if now == "menu":
                self.patient = False
        self.scene = now
        return now

    # -- inputs ---------------------------------------------------------------

    def move(self):
        self.pointer = (self.rng.randrange(WIDTH), self.rng.randrange(HEIGHT))
        self.game.move(*self.pointer)
        self.count("move")

    def wheel(self):
        notches = self.rng.choice((-3, -2, -1, 1, 2, 3))
        self.game.wheel(notches, gap=0.05)
        self.count("wheel")

    def button(self):
        button = self.rng.choice((1, 1, 3))
        hold = self.rng.uniform(0.05, 0.3)
        before = self.scene
        self.game.click(button, hold=hold)
        self.count("button")
        if before == "menu" and button == 1 and over_bill(*self.pointer):
            self.count("PLAY by chance")
            self.settle(before, True)

    def play(self):
        """Click the large bill: starts a game from the menu; in play it fires."""
        x0, y0, x1, y1 = BILL
        self.pointer = (self.rng.randint(x0 + 2, x1 - 1), self.rng.randint(y0 + 2, y1 - 1))
        self.game.move(*self.pointer)
        before = self.scene
        self.game.click(1, hold=self.rng.uniform(0.1, 0.3))
        self.count("PLAY click")
        if before == "menu":
            self.settle(before, True)

    def key(self, name):
        before = self.scene
        if before != "menu":
            before = self.look()  # a lost game is only known by looking
        self.game.tap(name, hold=self.rng.uniform(0.05, 0.2))
        self.count(name)
        if before == "menu":
            return  # keys do nothing on the menu
        if name == "Escape":
            self.settle(before, True)
        elif name == "Return" and before == "over":
            # a fresh game: the same kind of scene, seen by the panel going away
            deadline = time.monotonic() + 1.0
            while self.look() == "over" and time.monotonic() < deadline:
                time.sleep(0.05)
            self.scene = self.look()
            if self.scene != "over":
                self.switches += 1
                self.restarts += 1
                self.patient = False

    def ctrl(self):
        self.game.tap(self.rng.choice(("Control_L", "Control_R")), hold=self.rng.uniform(0.05, 0.3))
        self.count("Ctrl")

    def step(self):
        # Each step draws its numbers from a generator of its own, seeded from the run's one: the
        # run's sequence stays the same however many numbers a step takes.
        self.rng = random.Random(self.seeds.getrandbits(64))
        # On the menu PLAY comes often, in play Escape: the scenes keep switching.
        menu = self.scene == "menu"
        r = self.rng.random()
        if r < 0.25:
            self.move()
        elif r < 0.37:
            self.wheel()
        elif r < 0.55:
            self.button()
        elif r < (0.80 if menu else 0.62):
            self.play()
        elif r < (0.84 if menu else 0.77):
            if self.patient and self.scene == "game":
                self.count("Escape held back")
            else:
                self.key("Escape")
        elif r < (0.90 if menu else 0.89):
            self.key("Return")
        elif r < 0.94:
            self.ctrl()
        else:
            self.count("pause")
            time.sleep(self.rng.uniform(0.2, 1.0))
        time.sleep(self.rng.uniform(0.02, 0.2))


def run(args):
    rng = random.Random(args.seed)
    samples = []  # (seconds since start, VmRSS KiB)
    with harness.XServer() as xs:
        with xs.launch(os.path.abspath(args.bin), cwd=os.path.abspath(args.content_dir)) as game:
            game.wait_for_window()
            game.wait_for_frame()
            counter = harness.FrameCounter(xs, game.window.id)
            game.move(*FAR_AWAY)
            time.sleep(0.3)
            menu = game.wait_stable()
            game.focus()
            soak = Soak(game, counter, rng, menu)
            start = time.monotonic()
            soak.deadline = start + args.seconds
            cpu0 = harness.cpu_seconds(game.pid)
            frames0 = counter.poll()
            next_sample = start
            while game.running():
                now = time.monotonic()
                if now >= next_sample:
                    try:
                        samples.append((now - start, harness.rss_kib(game.pid)))
                    except (OSError, RuntimeError):
                        break  # it has just ended
                    next_sample += args.sample
                if now - start >= args.seconds:
                    break
                try:
                    soak.step()
                except harness.HarnessError:
                    if game.running():
                        raise
                    break  # reported below with its exit code
                counter.poll()
            running = game.running()
            elapsed = time.monotonic() - start
            if running:
                samples.append((elapsed, harness.rss_kib(game.pid)))
                cpu = harness.cpu_seconds(game.pid) - cpu0
                frames = counter.poll() - frames0
                for button in (1, 3):
                    game.release_button(button)
                game.close()
            code = game.wait_exit(10)
            counter.close()
            stdout = game.stdout_text()
    return report(args, soak, samples, running, code, stdout, elapsed,
                  cpu if running else None, frames if running else None)


def report(args, soak, samples, running, code, stdout, elapsed, cpu, frames):
    failures = []
    say("seed %d, %.0f s of random input, %d actions: %s"
        % (args.seed, elapsed, sum(soak.actions.values()),
           ", ".join("%s %d" % kv for kv in sorted(soak.actions.items()))))
    say("scene switches seen: %d (games started %d, restarts after a lost game %d)"
        % (soak.switches, soak.games_started, soak.restarts))
    if frames is not None:
        say("frames: %d (%.1f per second), CPU %.1f s (%.2f ms per frame)"
            % (frames, frames / elapsed, cpu, 1000.0 * cpu / frames if frames else float("nan")))
    if not running:
        failures.append("the game ended by itself after %.0f s (exit code %r)" % (elapsed, code))
    elif code is None:
        failures.append("the game did not exit within 10 s of the close request")
    elif code != 0:
        failures.append("exit code %d" % code)
    if stdout:
        failures.append("the game printed %r" % stdout)
    if soak.switches == 0:
        failures.append("no scene switch happened")

    rss = [kib for _, kib in samples]
    say("VmRSS samples (KiB, every %.0f s): %s" % (args.sample, " ".join(str(k) for k in rss)))
    mark = 60.0 if args.seconds >= 120 else args.seconds / 3.0
    base = next(((t, k) for t, k in samples if t >= mark), None)
    if base is None or len(samples) < 2:
        failures.append("too few memory samples")
    else:
        final = samples[-1][1]
        change = (final - base[1]) / base[1]
        say("VmRSS at %.0f s: %d KiB; at the end (%.0f s): %d KiB (%+.1f%%); min %d, max %d KiB"
            % (base[0], base[1], samples[-1][0], final, 100 * change, min(rss), max(rss)))
        if abs(change) > TOLERANCE:
            failures.append("resident memory changed by %+.1f%% (allowed: %.0f%%)"
                            % (100 * change, 100 * TOLERANCE))
    say("exit code %r" % code)
    if failures:
        say("FAIL: " + "; ".join(failures))
        return 1
    say("OK")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "zorvane"))
    parser.add_argument("--content-dir", default=None,
                        help="working directory with Content/ (default: the binary's folder)")
    parser.add_argument("--seconds", type=float, default=60.0, help="how long to soak (default 60)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the input sequence (default 1)")
    parser.add_argument("--sample", type=float, default=5.0, help="seconds between VmRSS samples")
    args = parser.parse_args()
    if args.content_dir is None:
        args.content_dir = os.path.dirname(os.path.abspath(args.bin))
    if not os.path.isdir(os.path.join(args.content_dir, "Content")):
        parser.error("%s has no Content/ folder" % args.content_dir)
    if not os.access(args.bin, os.X_OK):
        parser.error("no game executable at %s" % args.bin)
    if args.seconds <= 0 or args.sample <= 0:
        parser.error("--seconds and --sample must be positive")
    try:
        return run(args)
    except harness.HarnessError as exc:
        say("FAIL: %s" % exc)
        return 1


if __name__ == "__main__":
    sys.exit(main())
