"""The real game in a real window on a private X server: what only the window and the process show.

ZORVANE_BIN is the command that starts the game; the folder of its last word holds the Content/
that each case copies and may break.
"""
import os
import shlex
import shutil
import signal
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from driver import Xvfb, wait_until  # noqa: E402

GAME = shlex.split(os.environ.get("ZORVANE_BIN", "build/zorvane"))
GAME[-1] = os.path.abspath(GAME[-1])


def lost(path, name):
    return "Could not load file from: Content/%s\nCould not load image: %s\n" % (path, name)


class Smoke(unittest.TestCase):
    def start(self, x, broken=None, make=None, **options):
        """Starts the game in a fresh copy of Content/, with one file broken if asked."""
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        shutil.copytree(os.path.join(os.path.dirname(GAME[-1]), "Content"), self.dir + "/Content")
        if broken is not None:
            self.break_file(broken, make)
        return x.start(GAME, cwd=self.dir, **options)

    def break_file(self, name, make):
        path = os.path.join(self.dir, "Content", name)
        shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        if make:
            make(path)

    def ends(self, game, out="", missing=None):
        self.assertEqual((game.wait_exit(), game.out), (0, out))
        if missing:  # one line that says what is missing and what to do
            self.assertEqual(len(game.err.splitlines()), 1, game.err)
            self.assertIn(missing, game.err)
            self.assertIn("xvfb-run", game.err)

    def test_the_window_opens_centred_titled_and_fixed_and_a_close_request_ends_it(self):
        for width, height in [(1920, 1080), (1366, 768), (2560, 1440), (1280, 1024), (1024, 768),
                              (800, 600), (640, 480)]:
            with self.subTest(screen=(width, height)), Xvfb(width, height) as x:
                game = self.start(x)
                at = (max(0, (width - 800) // 2), max(0, (height - 600) // 2), 800, 600)
                wait_until(lambda: game.geometry() == at, 10, "the window at %s" % (at,))
                self.assertEqual(game.title(), "Zorvane - Quendral")
                self.assertEqual(game.property("WM_NORMAL_HINTS")[5:9], [800, 600, 800, 600])
                self.assertEqual(game.property("_MOTIF_WM_HINTS")[1] & (2 | 16), 0)  # no resize
                start = time.monotonic()
                game.wait_frames(30)
                self.assertGreater(time.monotonic() - start, 0.4)  # at most 60 frames a second
                game.close()
                self.ends(game)

    def test_content_that_cannot_be_read_is_reported_and_the_game_ends_with_0(self):
        fifo = os.mkfifo  # opening one waits for a writer for ever
        for name, make, at_play, out in [
                ("", None, False, lost("moneybill.png", "Bill") + lost("largebill.png", "Large bill")),
                ("moneybill.png", fifo, False, lost("moneybill.png", "Bill")),
                ("moneybill.png", os.mkdir, False, lost("moneybill.png", "Bill")),
                ("largebill.png", lambda path: os.symlink("/dev/zero", path), False,
                 lost("largebill.png", "Large bill")),
                ("LiberationMono-Bold.ttf", fifo, False, ""),
                ("smallclock.png", None, True, lost("smallclock.png", "Small clock")),
                ("smallclock.png", fifo, True, lost("smallclock.png", "Small clock")),
                ("LiberationMono-Bold.ttf", None, True, ""),
                ("digitalfont.ttf", None, True, "")]:
            with self.subTest(name=name, make=make), Xvfb() as x:
                game = self.start(x, None if at_play else name, make)
                if at_play:
                    game.menu()
                    self.break_file(name, make)
                    game.move(400, 300)
                    game.click()
                self.ends(game, out)

    def test_closed_standard_streams_stop_nothing(self):
        for fd in 0, 1, 2:
            with self.subTest(closed=fd), Xvfb() as x:
                game = self.start(x, close=(fd,))
                game.play()
                game.close()
                self.ends(game)
        with Xvfb() as x:  # the failure lines go nowhere, not into the X connection
            self.ends(self.start(x, "", close=(1,)))

    def test_without_a_usable_display_one_line_says_what_is_missing(self):
        with Xvfb(args=["-extension", "GLX"]) as bare, Xvfb() as x:
            for env, server, missing in [({"DISPLAY": ""}, x, "DISPLAY is not set"),
                                         ({"DISPLAY": ":97"}, x, '":97"'), (None, bare, "GLX")]:
                with self.subTest(missing=missing):
                    self.ends(self.start(server, env=env), "", missing)

    def test_interrupt_and_terminate_end_the_game_like_its_close_button(self):
        for stop in signal.SIGINT, signal.SIGTERM:
            with self.subTest(signal=stop), Xvfb() as x:
                game = self.start(x)
                game.wait_drawn()
                game.proc.send_signal(stop)
                self.ends(game)

    def test_play_then_escape_returns_to_the_same_menu_keys_count_only_with_the_focus(self):
        with Xvfb() as x:
            game = self.start(x)
            menu = game.play()
            self.assertFalse(x.cursor_shown())  # hidden in play, shown while Ctrl is held
            game.key_down("Control_L")
            game.held()
            self.assertTrue(x.cursor_shown())
            game.key_up("Control_L")
            other = x.other_window()
            game.key_down("Escape")  # typed into another window
            game.move(20, 20)
            game.held()
            self.assertNotEqual(game.capture(), menu)
            game.key_up("Escape")
            other.destroy()  # the focus goes back to following the pointer, which is on the game
            game.tap("Escape")
            game.held()
            self.assertEqual(game.capture(), menu)
            self.assertTrue(x.cursor_shown())

    def test_the_first_bill_0730_falls_at_277_and_a_clock_set_to_730_destroys_it(self):
        with Xvfb() as x:
            game = self.start(x)
            game.play()
            game.move(277, 300)
            game.wheel(-18)  # 12:00 less four and a half hours
            score = game.capture()
            game.click()
            self.assertIsNotNone(game.wait_change(score, 5, box=(130, 15, 220, 50)))

    def test_five_bills_out_end_the_game_and_return_starts_a_new_one(self):
        with Xvfb() as x:
            game = self.start(x)
            game.play()
            over = wait_until(game.still, 90, "the field to freeze")
            game.key_down("Control_R")  # the pointer shows while Ctrl is held, also now
            game.held()
            self.assertTrue(x.cursor_shown())
            game.key_up("Control_R")
            game.tap("Return")
            self.assertIsNotNone(game.wait_change(over, 5, box=(275, 252, 525, 348)))
            self.assertIsNone(game.still())
