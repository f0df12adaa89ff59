"""The real game in a real window on a private X server: what only the window and the process show.
ZORVANE_BIN is the command that starts the game; each case copies the Content/ beside its last
word."""
import os
import shlex
import shutil
import signal
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from driver import WindowManager, X, Xvfb, wait_until  # noqa: E402

GAME = shlex.split(os.environ.get("ZORVANE_BIN", "build/zorvane"))
GAME[-1] = os.path.abspath(GAME[-1])
PLACED = 4 | 8 | 16 | 32  # asks for a place and a size of its own, fixed: not USPosition (1)


def lost(*names):
    files = {"Bill": "moneybill", "Large bill": "largebill", "Small clock": "smallclock"}
    return "".join("Could not load file from: Content/%s.png\nCould not load image: %s\n"
                   % (files[name], name) for name in names)


class Smoke(unittest.TestCase):
    def start(self, x, spoil=None, make=None, **options):
        """Starts the game in a fresh copy of Content/, with one file spoiled if asked."""
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        shutil.copytree(os.path.join(os.path.dirname(GAME[-1]), "Content"), self.dir + "/Content")
        if spoil is not None:
            self.spoil(spoil, make)
        return x.start(GAME, cwd=self.dir, **options)

    def spoil(self, name, make):
        path = os.path.join(self.dir, "Content", name)
        shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        if make:
            make(path)

    def ends(self, game, out="", *said):
        """Exit code 0 with that output; `said` names the one line of its own on stderr."""
        self.assertEqual((game.wait_exit(), game.out), (0, out))
        if said:
            ours = [line for line in game.err.splitlines() if line.startswith("zorvane:")]
            self.assertEqual(len(ours), 1, game.err)
            self.assertTrue(all(words in ours[0] for words in said), game.err)

    def test_journey_through_a_window_born_in_place_two_games_and_a_close(self):
        with Xvfb(1920, 1080) as x, WindowManager(x) as wm:
            game = self.start(x)
            menu = game.menu()
            corner = (1919, 1079)
            root = x.dpy.screen().root
            with self.subTest("mapped once in the middle, white, with its title, class and icons"):
                self.assertEqual((set(wm.asked), wm.first.getextrema(), game.title(),
                                  game.window.get_wm_class(), game.icon_sizes()),
                                 ({("map", 560, 240, PLACED)}, ((255, 255),) * 3,
                                  "Zorvane - Quendral", ("zorvane", "Zorvane"), [32, 48, 64]))
            with self.subTest("60 frames a second"):
                frames = game.frames()
                wait_until(lambda: frames.poll() > 60, 30, "60 frames")
                gaps = sorted(b - a for a, b in zip(frames.times, frames.times[1:]))
                # Load only slows frames down (a late timestamp may shorten the next gap, never
                # the span): at 30 a second no gaps come under 25 ms, at 120 the span is short.
                span = frames.times[-1] - frames.times[0]
                self.assertTrue(gaps[5] < 25 and span >= 14 * len(gaps), (gaps, span))
            with self.subTest("a tap on PLAY starts a game that hides and holds the pointer"):
                game.play()  # pressed and released between two frames
                self.assertFalse(x.cursor_shown())
                self.assertEqual(x.move_screen(*corner), (1359, 839))
            with self.subTest("mapped again, it takes the pointer back from other clients"):
                game.window.unmap()  # as a window manager that takes over does
                game.window.map()
                wait_until(lambda: game.window.get_attributes().map_state == X.IsViewable, 10,
                           "mapped")
                game.focus()

                def kept():  # another client's pointer grab is refused
                    status = root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync, 0, 0, 0)
                    x.dpy.ungrab_pointer(X.CurrentTime)
                    return status == X.AlreadyGrabbed
                wait_until(kept, 10, "the pointer kept again")
            with self.subTest("the wheel sets the time, a click fires and scores"):
                game.move(277, 300)  # the first bill of a run: 07:30 at x 277
                game.wheel(-18)  # 12:00 less four and a half hours
                digit = (140, 15, 185, 50)  # the score's, on a panel that bills show through
                score = wait_until(lambda: game.still(3, digit), 20, "the first bill past it")
                game.click()  # the next bill comes 5 s after the first, long after this meets it
                self.assertIsNotNone(game.wait_change(score, 10, box=digit))
            with self.subTest("keys typed into a grab or another window do nothing; it lets go"):
                game.move(20, 20)  # where the menu's picture was taken
                for take in [lambda: root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, 0),
                             x.other_window]:  # a menu's or a locker's grab, another window
                    other = take()
                    game.held()  # the game has seen the keyboard go
                    game.key_down("Escape")
                    game.held()
                    self.assertNotEqual(game.capture(), menu)
                    game.key_up("Escape")
                    x.dpy.ungrab_keyboard(X.CurrentTime)
                self.assertEqual(x.move_screen(*corner), corner)
                other.destroy()  # the focus goes back to following the pointer
            with self.subTest("Escape brings the menu back with the pointer"):
                game.move(20, 20)
                game.tap("Escape")
                wait_until(lambda: game.capture() == menu and x.cursor_shown(), 10, "the menu")
            with self.subTest("a click into another client's pointer grab does not start a game"):
                game.move(400, 300)
                root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync, 0, 0, 0)
                game.press()  # on PLAY, for the program that holds the pointer
                game.held()
                self.assertTrue(x.cursor_shown())  # still the menu
                game.release()
                x.dpy.ungrab_pointer(X.CurrentTime)
            with self.subTest("a lost game stands still; Ctrl shows the pointer, Return restarts"):
                game.play()
                over = wait_until(game.still, 120, "the field to freeze after five bills")
                self.assertEqual(x.move_screen(*corner), corner)  # the pointer is free
                game.move(400, 300)
                game.key_down("Control_R")
                wait_until(x.cursor_shown, 10, "the pointer shown")
                game.key_up("Control_R")
                game.tap("Return")
                self.assertIsNotNone(game.wait_change(over, 10, box=(275, 252, 525, 348)))
            with self.subTest("in play, Ctrl shows the pointer and frees it"):
                game.key_down("Control_L")
                free = lambda: x.cursor_shown() and x.move_screen(*corner) == corner  # noqa: E731
                wait_until(free, 10, "the pointer shown and free")
            game.close()
            self.ends(game)

    def test_content_that_cannot_be_read_is_reported_and_the_game_ends_with_0(self):
        for name, make, at_play, out in [("", None, False, lost("Bill", "Large bill")),
                                         ("moneybill.png", os.mkfifo, False, lost("Bill")),
                                         ("largebill.png", os.mkdir, False, lost("Large bill")),
                                         ("LiberationMono-Bold.ttf", os.mkfifo, False, ""),
                                         ("smallclock.png", None, True, lost("Small clock")),
                                         ("LiberationMono-Bold.ttf", None, True, ""),
                                         ("digitalfont.ttf", None, True, "")]:
            with self.subTest(name=name, make=make, at_play=at_play), Xvfb() as x:
                game = self.start(x, None if at_play else name, make)
                if at_play:
                    game.menu()
                    self.spoil(name, make)
                    game.move(400, 300)
                    game.click()
                self.ends(game, out)

    def test_surroundings_streams_signals_screens_and_a_lost_display_end_it_quietly_with_0(self):
        for closed, stop, stall in [(0, signal.SIGINT, 0), (1, signal.SIGTERM, signal.SIGSTOP),
                                    (2, signal.SIGHUP, 0)]:
            with self.subTest(closed=closed), Xvfb() as x:
                game = self.start(x, close=(closed,))
                game.play()
                os.kill(x.proc.pid, stall)  # a stopped server: the game's frame waits for it
                game.proc.send_signal(stop)  # ends it like the close button, or by itself
                try:
                    self.ends(game)
                finally:
                    os.kill(x.proc.pid, signal.SIGCONT)
        for screen, monitors, at in [((640, 480), (), (0, 0)),  # a screen smaller than the window
                                     ((3840, 1080), [(1920, 0, 1920, 1080), (0, 0, 1920, 1080)],
                                      (2480, 240))]:  # the right one of two is the primary
            with Xvfb(*screen, monitors=monitors) as x, WindowManager(x) as wm:
                game = self.start(x)
                game.wait_frames(2)
                self.assertEqual(set(wm.asked), {("map",) + at + (PLACED,)})
                if monitors:
                    x.proc.kill()  # the server is gone
                else:
                    game.window.kill_client()  # as xkill does: the connection that made it is cut
                    x.dpy.sync()
                self.ends(game, "", "the game ends")
        with Xvfb(args=["-extension", "GLX"]) as bare, Xvfb() as x, \
                Xvfb(depth=16, args=["-extension", "Composite"]) as shallow:
            self.ends(self.start(x, "", close=(1,)))  # the failure lines go nowhere, not into X
            for env, server, missing in [({"DISPLAY": ""}, x, "DISPLAY is not set"),
                                         ({"DISPLAY": ":97"}, x, '":97"'), (None, bare, "GLX"),
                                         (None, shallow, "24-bit")]:
                self.ends(self.start(server, env=env), "", missing, "xvfb-run")
