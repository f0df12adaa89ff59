"""The real game in a real window on a private X server: what only the window and the process show.

ZORVANE_BIN is the command that starts the game; each case copies the Content/ beside its last word.
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

    def ends(self, game, out="", missing=None):
        self.assertEqual((game.wait_exit(), game.out), (0, out))
        if missing:  # one line that says what is missing and what to do
            self.assertEqual((game.err.count("\n"), missing in game.err, "xvfb-run" in game.err),
                             (1, True, True), game.err)

    def test_journey_through_a_centred_window_two_games_and_a_close(self):
        with Xvfb(1920, 1080) as x:
            game = self.start(x)
            wait_until(lambda: game.geometry() == (560, 240, 800, 600), 10, "the window centred")
            self.assertEqual(game.title(), "Zorvane - Quendral")
            self.assertEqual(game.property("WM_NORMAL_HINTS")[5:9], [800, 600, 800, 600])
            self.assertEqual(game.property("_MOTIF_WM_HINTS")[1] & (2 | 16), 0)  # no resize
            start = time.monotonic()
            game.wait_frames(30)
            self.assertGreater(time.monotonic() - start, 0.4)  # at most 60 frames a second
            menu = game.play()
            self.assertFalse(x.cursor_shown())
            game.move(277, 300)  # the first bill of a run: 07:30 at x 277
            game.wheel(-18)  # 12:00 less four and a half hours
            digit = (140, 15, 185, 50)  # the score's, on a panel that bills show through
            score = wait_until(lambda: game.still(3, digit), 10, "the first bill past the score")
            game.click()  # the next bill comes 5 s after the first, long after this meets it
            self.assertIsNotNone(game.wait_change(score, 2, box=digit))
            game.move(20, 20)  # where the menu's picture was taken
            other = x.other_window()
            game.key_down("Escape")  # typed into another window
            game.held()
            self.assertNotEqual(game.capture(), menu)
            game.key_up("Escape")
            other.destroy()  # the focus goes back to following the pointer, which is on the game
            game.tap("Escape")
            game.held()
            self.assertEqual((game.capture(), x.cursor_shown()), (menu, True))
            game.play()
            over = wait_until(game.still, 90, "the field to freeze after five bills")
            for ctrl in "Control_L", "Control_R":  # the pointer shows while Ctrl is held
                game.key_down(ctrl)
                game.held()
                self.assertTrue(x.cursor_shown())
                game.key_up(ctrl)
            game.tap("Return")
            self.assertIsNotNone(game.wait_change(over, 5, box=(275, 252, 525, 348)))
            self.assertIsNone(game.still())
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

    def test_surroundings_closed_streams_a_signal_or_no_display_end_it_quietly_with_0(self):
        for closed, stop in [(0, signal.SIGINT), (1, signal.SIGTERM), (2, None)]:
            with self.subTest(closed=closed), Xvfb() as x:
                game = self.start(x, close=(closed,))
                game.play()
                if stop:
                    game.proc.send_signal(stop)  # ends it like the close button
                else:
                    game.close()
                self.ends(game)
        with Xvfb(640, 480) as x:  # a window bigger than the screen stands at its top left
            game = self.start(x)
            wait_until(lambda: game.geometry() == (0, 0, 800, 600), 10, "the window at 0,0")
            game.close()
            self.ends(game)
        with Xvfb(args=["-extension", "GLX"]) as bare, Xvfb() as x:
            self.ends(self.start(x, "", close=(1,)))  # the failure lines go nowhere, not into X
            for env, server, missing in [({"DISPLAY": ""}, x, "DISPLAY is not set"),
                                         ({"DISPLAY": ":97"}, x, '":97"'), (None, bare, "GLX")]:
                self.ends(self.start(server, env=env), "", missing)
