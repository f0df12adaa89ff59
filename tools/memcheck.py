#!/usr/bin/python3
"""Runs the real game under Valgrind's memcheck through a scripted session, on a private Xvfb.

    /usr/bin/python3 tools/memcheck.py [--bin build/zorvane] [--content-dir build]
                                       [--log memcheck.log] [--driver softpipe|llvmpipe]
                                       [--no-loss] [--track-origins] [--gen-suppressions]

The session: the menu; PLAY; play (move, wheel, fire with both buttons, Ctrl); the game is left
alone until it is lost (about 35 s: bills fall by wall-clock time, however slow the frames);
Return for a fresh game; Escape to the menu; PLAY again; play a little; close the window.
Every input is held until the game has drawn at least two frames, since frames are slow under
Valgrind. Passes (exit 0) when Valgrind reports no error at all (invalid reads and writes,
uninitialised values, definitely lost blocks) beyond tools/valgrind/zorvane.supp, which holds
only GL driver, X11 and loader noise, and the game's own exit code is 0.

Needs valgrind, Xvfb, xwd and python3-xlib (Debian's /usr/bin/python3 has it). Takes a few
minutes: Mesa's software rasteriser is slow under Valgrind; softpipe (the default) is much
quicker to start there than llvmpipe, whose shader compiler runs under Valgrind too.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

SUPPRESSIONS = os.path.join(ROOT, "tools", "valgrind", "zorvane.supp")
PLAY = (400, 300)
FAR_AWAY = (20, 20)
TITLE_AREA = (0, 0, 800, 200)           # the menu's title; the score panel in play


def say(text):
    print("memcheck: " + text, flush=True)


class ValgrindGame(harness.Game):
    """harness.Game, but the process is ``command`` (valgrind ... zorvane): same pid, same window."""

    def __init__(self, server, command, cwd, extra_env, log_dir):
        self.server = server
        self.dpy = server.dpy
        self.binary = command[-1]
        self.cwd = cwd
        self.window = None
        self._screenshots = []
        self._log_dir = log_dir
        self.stdout_path = os.path.join(log_dir, "stdout.txt")
        self.stderr_path = os.path.join(log_dir, "stderr.txt")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen(command, cwd=cwd, env=server.env(extra_env),
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        server._games.append(self)  # killed with the server



class Session:
    def __init__(self, game, counter, slow):
        self.game = game
        self.counter = counter
        self.slow = slow  # timeout for anything that takes a few frames
        self.menu = None

    def frames(self, n):
        seen = self.counter.wait(n, self.slow, self.game)
        if seen < n:
            if not self.game.running():
                raise harness.HarnessError("the game exited (code %r)" % self.game.proc.returncode)
            raise harness.HarnessError("the game drew %d of %d frames in %.0f s" % (seen, n, self.slow))

    def hold_button(self, button, frames=2):
        self.game.press_button(button)
        try:
            time.sleep(0.05)
            self.frames(frames)
        finally:
            self.game.release_button(button)

    def hold_key(self, key, frames=2):
        self.game.key_down(key)
        try:
            time.sleep(0.05)
            self.frames(frames)
        finally:
            self.game.key_up(key)

    def wait_look(self, test, what, timeout=None):
        deadline = time.monotonic() + (timeout or self.slow)
        while True:
            shot = self.game.screenshot()
            if test(shot):
                return shot
            if not self.game.running():
                raise harness.HarnessError("the game exited (code %r) waiting for %s"
                                           % (self.game.proc.returncode, what))
            if time.monotonic() >= deadline:
                self.game.keep("timeout", shot)
                raise harness.HarnessError("timed out waiting for %s" % what)
            time.sleep(0.2)

    def looks_like_menu(self, shot):
        # the score panel alone changes some 20000 pixels of this area; a few hundred may differ
        # on the menu itself, at the edges of the title's outline (softpipe does not draw them
        # the same way every time)
        return len(shot.diff(self.menu, TITLE_AREA, threshold=2)) < 1000

    def play_starts(self):
        self.game.move(*PLAY)
        self.frames(2)
        self.hold_button(1)
        self.wait_look(lambda s: not self.looks_like_menu(s), "the game after PLAY")
        self.frames(2)

    def play_a_bit(self):
        for i, x in enumerate((150, 650, 300, 500)):
            self.game.move(x, 400)
            self.frames(1)
            for _ in range(2):
                self.game.wheel(1 if i % 2 == 0 else -1, gap=0)
                self.frames(1)
            self.hold_button(1 if i % 2 == 0 else 3)
            time.sleep(0.6)  # at most one shot per half second, by the clock
        self.game.focus()
        self.hold_key("Control_L")
        self.frames(10)


def run(args):
    with open(SUPPRESSIONS):
        pass  # it must exist: a missing one would let valgrind start without it
    work = tempfile.mkdtemp(prefix="zorvane-memcheck-")
    log = os.path.abspath(args.log or os.path.join(work, "memcheck.log"))
    command = ["valgrind", "--tool=memcheck", "--leak-check=full",
               "--errors-for-leak-kinds=definite", "--error-exitcode=99",
               "--suppressions=" + SUPPRESSIONS, "--num-callers=40", "-s", "--log-file=" + log]
    if args.track_origins:
        command.append("--track-origins=yes")
    if args.gen_suppressions:
        command.append("--gen-suppressions=all")
    command.append(os.path.abspath(args.bin))
    extra_env = {"LIBGL_ALWAYS_SOFTWARE": "1", "GALLIUM_DRIVER": args.driver}
    say("log: " + log)
    started = time.monotonic()
    with harness.XServer() as xs:
        game = ValgrindGame(xs, command, os.path.abspath(args.content_dir), extra_env, work)
        try:
            game.wait_for_window(timeout=args.slow * 3)
            game.wait_for_frame(timeout=args.slow * 3)
            say("menu up after %.0f s" % (time.monotonic() - started))
            counter = harness.FrameCounter(xs, game.window.id)
            s = Session(game, counter, args.slow)
            game.move(*FAR_AWAY)
            s.frames(3)
            s.menu = game.screenshot(label="menu")
            t0, f0 = time.monotonic(), counter.poll()
            s.frames(5)
            say("menu: %.2f frames/s under valgrind" % ((counter.poll() - f0) / (time.monotonic() - t0)))

            s.play_starts()
            say("playing (%.0f s)" % (time.monotonic() - started))
            s.play_a_bit()
            if not args.no_loss:
                # the game-over panel is the menu's large bill at alpha 200 (a bill under the
                # panel lowers the fit; play without the panel stays near 0.3)
                over = s.wait_look(lambda shot: harness.panel_fit(s.menu, shot) >= 0.8,
                                   "the game-over panel", timeout=args.slow + 120)
                game.keep("game-over", over)
                say("game over (%.0f s)" % (time.monotonic() - started))
                game.focus()
                s.hold_key("Return")
                s.wait_look(lambda shot: harness.panel_fit(s.menu, shot) < 0.5, "a fresh game after Return")
                s.frames(5)
                say("fresh game after Return (%.0f s)" % (time.monotonic() - started))
            game.focus()
            s.hold_key("Escape")
            s.wait_look(s.looks_like_menu, "the menu after Escape")
            say("back on the menu (%.0f s)" % (time.monotonic() - started))
            game.move(*FAR_AWAY)
            s.frames(2)
            s.play_starts()
            s.play_a_bit()
            s.frames(10)
            say("playing again; closing (%.0f s)" % (time.monotonic() - started))
            game.close()
            code = game.wait_exit(args.slow * 5)
        except BaseException:
            path = os.path.join(work, "artifacts")
            try:
                game.save_artifacts(path)
                say("captures and output of the failed session: " + path)
            except Exception:
                pass
            raise
    if code is None:
        say("FAIL: the game did not exit after the close request")
        return 1
    with open(log, errors="replace") as f:
        text = f.read()
    stdout = game.stdout_text()
    return report(text, code, stdout, time.monotonic() - started)


def summary_lines(text):
    keep = ("ERROR SUMMARY", "definitely lost:", "indirectly lost:", "possibly lost:",
            "still reachable:", "suppressed:", "in use at exit", "total heap usage",
            "used_suppression:")
    lines = []
    for line in text.splitlines():
        line = re.sub(r"^(==|--)\d+(==|--) ", "", line).strip()
        if any(k in line for k in keep) and line not in lines:  # -s repeats the error summary
            lines.append(line)
    return lines


def report(text, code, stdout, seconds):
    for line in summary_lines(text):
        say(line)
    m = re.search(r"ERROR SUMMARY: (\d+) errors from (\d+) contexts \(suppressed: (\d+) from (\d+)\)", text)
    invalid = len(re.findall(r"^==\d+== Invalid (read|write|free)", text, re.M))
    definite = re.search(r"definitely lost: ([\d,]+) bytes", text)
    definite_bytes = int(definite.group(1).replace(",", "")) if definite else 0
    say("invalid reads/writes/frees reported: %d; definitely lost: %d bytes" % (invalid, definite_bytes))
    say("exit code %d (valgrind exits 99 on any error), %.0f s" % (code, seconds))
    failures = []
    if not m:
        failures.append("no ERROR SUMMARY in valgrind's log")
    elif int(m.group(1)) != 0:
        failures.append("%s errors reported" % m.group(1))
    if invalid:
        failures.append("%d invalid accesses" % invalid)
    if definite_bytes:
        failures.append("%d bytes definitely lost" % definite_bytes)
    if code != 0:
        failures.append("exit code %d" % code)
    if stdout:
        failures.append("the game printed: %r" % stdout)
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
    parser.add_argument("--log", default=None, help="valgrind's log file (default: in a temp folder)")
    parser.add_argument("--driver", default="softpipe", choices=["softpipe", "llvmpipe"],
                        help="Mesa's software rasteriser (GALLIUM_DRIVER)")
    parser.add_argument("--slow", type=float, default=120.0,
                        help="seconds allowed for anything that takes a few frames (default 120)")
    parser.add_argument("--no-loss", action="store_true", help="skip losing a game and Return")
    parser.add_argument("--track-origins", action="store_true")
    parser.add_argument("--gen-suppressions", action="store_true",
                        help="write a suppression for every error into the log")
    args = parser.parse_args()
    if args.content_dir is None:
        args.content_dir = os.path.dirname(os.path.abspath(args.bin))
    if not os.path.isdir(os.path.join(args.content_dir, "Content")):
        parser.error("%s has no Content/ folder" % args.content_dir)
    try:
        subprocess.run(["valgrind", "--version"], stdout=subprocess.DEVNULL, check=True)
    except (OSError, subprocess.CalledProcessError):
        say("valgrind is not installed (Debian package valgrind)")
        return 2
    try:
        return run(args)
    except harness.HarnessError as exc:
        say("FAIL: %s" % exc)
        return 1


if __name__ == "__main__":
    sys.exit(main())
