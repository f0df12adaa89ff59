"""End-to-end tests of broken and extreme content files, driving the real game in a private Xvfb.

Every image and font under Content/ is replaced, in turn, by something the game cannot use:
nothing at all, an empty file, the first 100 bytes of the real file, a text file, a PNG whose
header claims a size no texture can hold, and a directory. The game must print exactly its
failure lines, in load order, and end with exit code 0 at the end of that frame. A file the menu
needs is broken before start-up; for the game, a file the menu also needs is swapped in while
the menu is up, just before PLAY is pressed. Valid but extreme images (a 1x1 bill, bills larger
than the window) must play; their CPU time per frame is written to stderr for the record.

Environment:
  ZORVANE_BIN            the game executable (default: <repo>/build/zorvane)
  ZORVANE_CONTENT_DIR    working directory that contains Content/ (default: the binary's folder)
  ZORVANE_E2E_ARTIFACTS  where logs go (default: /tmp/zorvane-e2e)

Run:  python3 tests/e2e/test_bad_content.py [-v] [BadContentTestCase.test_name ...]

One Xvfb serves the whole module; the games run one after the other on it.
"""

import os
import shutil
import struct
import sys
import tempfile
import time
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import e2ecase  # noqa: E402
import harness  # noqa: E402
from e2ecase import ARTIFACTS, BIN, CONTENT_DIR, keeps_artifacts_on_failure  # noqa: E402


PLAY = (400, 300)          # centre of the menu's large bill
FAR_AWAY = (20, 20)
EXIT_WITHIN = 10.0         # seconds from start-up or PLAY to the end of the program
HOLD = 0.1                 # a button must be held over at least two frames

# file name -> texture key, or None for a font
FILES = {
    "moneybill.png": "Bill",
    "largebill.png": "Large bill",
    "playerclock.png": "Player clock",
    "moneybill_blank.png": "Blank bill",
    "clockhand.png": "Clock hand",
    "smallclock.png": "Small clock",
    "LiberationMono-Bold.ttf": None,
    "digitalfont.ttf": None,
}
MENU_FILES = ["moneybill.png", "largebill.png", "LiberationMono-Bold.ttf"]
GAME_FILES = list(FILES)


# ---------------------------------------------------------------------------
# Broken files
# ---------------------------------------------------------------------------


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def make_png(width, height, idat, depth=8, colour_type=6):
    """A PNG file from its IHDR fields and the (possibly broken) compressed pixel data."""
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
            + png_chunk(b"IDAT", idat)
            + png_chunk(b"IEND", b""))


def rgba_png(width, height, pixel=(0, 0, 0, 0)):
    """A complete, valid RGBA PNG of one colour."""
    row = b"\x00" + bytes(pixel) * width
    return make_png(width, height, zlib.compress(row * height, 9))


# The header claims 20000x20000 (1.6 GB of RGBA); the pixel data is a tiny stream cut short.
HUGE_HEADER_PNG = make_png(20000, 20000, zlib.compress(b"\x00" * 4096, 9)[:16])
# A complete, valid image 70000 pixels wide: it decodes (280 kB) but no texture can hold it.
TOO_WIDE_PNG = rgba_png(70000, 1)
TEXT = b"Not an image and not a font: a plain text file under a content file's name.\n"


def break_missing(path, real):
    os.remove(path)


def break_empty(path, real):
    with open(path, "wb"):
        pass


def break_truncated(path, real):
    with open(path, "wb") as f:
        f.write(real[:100])


def break_text(path, real):
    with open(path, "wb") as f:
        f.write(TEXT)


def break_huge_header(path, real):
    with open(path, "wb") as f:
        f.write(HUGE_HEADER_PNG)


def break_too_wide(path, real):
    with open(path, "wb") as f:
        f.write(TOO_WIDE_PNG)


def break_directory(path, real):
    os.remove(path)
    os.mkdir(path)
    # not an empty one either
    with open(os.path.join(path, "inside.txt"), "wb") as f:
        f.write(TEXT)


BREAKS = {
    "missing": break_missing,
    "empty": break_empty,
    "truncated": break_truncated,
    "text": break_text,
    "huge_header": break_huge_header,
    "too_wide": break_too_wide,
    "directory": break_directory,
}


def expected_lines(name):
    """What a failed load of ``name`` prints: the file, and last its texture lookup; fonts: nothing."""
    key = FILES[name]
    if key is None:
        return []
    return ["Could not load file from: Content/" + name, "Could not load image: " + key]


# ---------------------------------------------------------------------------
# The run
# ---------------------------------------------------------------------------


SERVER = None


def setUpModule():
    global SERVER
    server = harness.XServer()
    try:
        server.start()
    except BaseException:
        server.stop()
        raise
    SERVER = server


def tearDownModule():
    if SERVER is not None:
        SERVER.stop()


class BadContentTestCase(unittest.TestCase):

    def setUp(self):
        if SERVER is None:
            self.fail("no X server (setUpModule failed)")
        if not (os.path.isfile(BIN) and os.access(BIN, os.X_OK)):
            self.fail("game executable not found: %s (build it, or set ZORVANE_BIN)" % BIN)
        self.work = tempfile.mkdtemp(prefix="zorvane-bad-content-")
        self.addCleanup(shutil.rmtree, self.work, True)
        content = os.path.join(self.work, "Content")
        os.mkdir(content)
        for name in FILES:
            src = os.path.join(CONTENT_DIR, "Content", name)
            if not os.path.isfile(src):
                self.fail("%s is missing (set ZORVANE_CONTENT_DIR to a folder with a full Content/)" % src)
            shutil.copyfile(src, os.path.join(content, name))
        self.games = []
        self.counters = []

    def tearDown(self):
        for counter in self.counters:
            counter.close()
        for game in self.games:
            game.kill()
        # a failed test must not leave a button down for the next one
        for button in (1, 3):
            try:
                harness.xtest.fake_input(SERVER.dpy, harness.X.ButtonRelease, button)
            except Exception:
                pass
        SERVER.dpy.sync()

    # -- helpers ------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.work, "Content", name)

    def real(self, name):
        with open(os.path.join(CONTENT_DIR, "Content", name), "rb") as f:
            return f.read()

    def break_file(self, name, how):
        BREAKS[how](self.path(name), self.real(name))

    def launch(self):
        log_dir = os.path.join(self.work, "run%d" % len(self.games))
        game = SERVER.launch(BIN, cwd=self.work, log_dir=log_dir)
        self.games.append(game)
        return game

    def save_artifacts(self):
        directory = os.path.join(ARTIFACTS, self.id().split(".")[-1])
        for i, game in enumerate(self.games):
            try:
                paths = game.save_artifacts(directory, prefix="run%d-" % i if i else "")
                sys.stderr.write("\n[e2e] saved for %s: %s\n" % (self.id(), ", ".join(paths)))
            except Exception as exc:
                sys.stderr.write("\n[e2e] could not save artifacts: %s\n" % exc)

    def start_menu(self):
        """Start the game; return it, with a frame counter, once the menu is drawn."""
        game = self.launch()
        game.wait_for_window()
        game.wait_for_frame()
        counter = harness.FrameCounter(SERVER, game.window.id)
        self.counters.append(counter)
        game.move(*FAR_AWAY)
        self.assertEqual(counter.wait(2, 10), 2, "the menu does not keep drawing frames")
        return game, counter

    def press_play(self, game, counter):
        """Click the large bill, holding the button over at least two frames however slow."""
        game.move(*PLAY)
        game.press_button(1)
        try:
            time.sleep(HOLD)
            counter.wait(2, 30, game)
        finally:
            game.release_button(1)

    def assert_exits_with(self, game, lines, since, what):
        code = game.wait_exit(max(0.1, since + EXIT_WITHIN - time.monotonic()))
        self.assertIsNotNone(code, "%s: the game still runs %.0f s later" % (what, EXIT_WITHIN))
        self.assertEqual(code, 0, "%s: exit code" % what)
        out = game.stdout_text()
        self.assertEqual(out.splitlines(), lines, "%s: standard output was:\n%s" % (what, out))
        self.assertTrue(out == "" or out.endswith("\n"), "%s: last line not ended: %r" % (what, out))

    # -- the cases ------------------------------------------------------------

    def check_menu(self, name, how):
        self.break_file(name, how)
        started = time.monotonic()
        game = self.launch()
        self.assert_exits_with(game, expected_lines(name), started,
                               "menu, %s %s" % (how.replace("_", " "), name))

    def check_game(self, name, how):
        if name in MENU_FILES:
            game, counter = self.start_menu()
            self.break_file(name, how)
            # the menu has what it needs: it goes on drawing with the file broken under it
            self.assertEqual(counter.wait(3, 10), 3, "the menu stopped drawing after %s was broken" % name)
        else:
            self.break_file(name, how)
            game, counter = self.start_menu()
        self.assertTrue(game.running(), "the menu ended before PLAY (exit code %r)" % game.proc.returncode)
        self.assertEqual(game.stdout_text(), "", "the menu printed something before PLAY")
        self.press_play(game, counter)
        self.assert_exits_with(game, expected_lines(name), time.monotonic(),
                               "game, %s %s" % (how.replace("_", " "), name))

    # -- good and extreme content --------------------------------------------

    def play_and_measure(self, label, seconds=3.0):
        """Menu, PLAY, a few seconds of play, close: exit 0 and nothing printed.

        Writes the CPU time per frame on the menu and in play to stderr.
        """
        game, counter = self.start_menu()
        figures = {"menu": self.measure(game, counter, 2.0)}
        self.press_play(game, counter)
        self.assertTrue(game.running(), "%s: the game ended on PLAY (exit code %r)"
                        % (label, game.proc.returncode))
        # keep playing: move, turn the wheel, fire
        for x in (200, 600, 400):
            game.move(x, 300)
            game.wheel(1, gap=0.05)
            game.press_button(1)
            counter.wait(2, 30, game)
            game.release_button(1)
        figures["play"] = self.measure(game, counter, seconds)
        self.assertTrue(game.running(), "%s: the game ended during play (exit code %r)"
                        % (label, game.proc.returncode))
        self.assertGreater(figures["play"][0], 0, "%s: no frame was drawn during play" % label)
        game.close()
        code = game.wait_exit(30)
        self.assertEqual(code, 0, "%s: exit code after closing the window" % label)
        self.assertEqual(game.stdout_text(), "", "%s: standard output" % label)
        for scene, (frames, cpu, wall) in figures.items():
            sys.stderr.write("\n[e2e] %s, %s: %d frames in %.2f s (%.1f fps), CPU %.2f s, "
                             "%.2f ms CPU per frame\n"
                             % (label, scene, frames, wall, frames / wall, cpu,
                                1000.0 * cpu / frames if frames else float("nan")))
        return figures

    def measure(self, game, counter, seconds):
        """(frames, CPU seconds, wall seconds) over about ``seconds`` of running."""
        counter.poll()
        frames0, cpu0, t0 = counter.frames, harness.cpu_seconds(game.pid), time.monotonic()
        time.sleep(seconds)
        frames1, cpu1, t1 = counter.poll(), harness.cpu_seconds(game.pid), time.monotonic()
        return frames1 - frames0, cpu1 - cpu0, t1 - t0

    @keeps_artifacts_on_failure
    def test_intact_content_plays(self):
        self.play_and_measure("intact content")

    @keeps_artifacts_on_failure
    def test_one_pixel_bill_plays(self):
        with open(self.path("moneybill.png"), "wb") as f:
            f.write(rgba_png(1, 1, (40, 160, 60, 255)))
        self.play_and_measure("1x1 moneybill.png")

    @keeps_artifacts_on_failure
    def test_bill_larger_than_the_window_plays(self):
        with open(self.path("moneybill.png"), "wb") as f:
            f.write(rgba_png(1200, 700, (40, 160, 60, 255)))
        self.play_and_measure("1200x700 moneybill.png")

    @keeps_artifacts_on_failure
    def test_large_bill_larger_than_the_window_plays(self):
        with open(self.path("largebill.png"), "wb") as f:
            f.write(rgba_png(1200, 700, (200, 220, 120, 255)))
        self.play_and_measure("1200x700 largebill.png")

    @keeps_artifacts_on_failure
    def test_widest_texture_bill_plays(self):
        # 16384 x 1: as wide as llvmpipe's textures go (the most many GL drivers allow)
        with open(self.path("moneybill.png"), "wb") as f:
            f.write(rgba_png(16384, 1, (40, 160, 60, 255)))
        game = self.launch()
        try:
            game.wait_for_window()
            game.wait_for_frame()
        except harness.HarnessError:
            if game.wait_exit(5) is not None and "maximum is" in game.stderr_text():
                self.skipTest("this GL driver's textures are narrower: %s" % game.stderr_text().strip())
            raise
        counter = harness.FrameCounter(SERVER, game.window.id)
        self.counters.append(counter)
        self.press_play(game, counter)
        self.assertTrue(game.running(), "the game ended on PLAY (exit code %r)" % game.proc.returncode)
        self.assertEqual(counter.wait(10, 10, game), 10, "the game does not draw frames")
        game.close()
        self.assertEqual(game.wait_exit(10), 0, "exit code after closing the window")
        self.assertEqual(game.stdout_text(), "", "standard output")

    @keeps_artifacts_on_failure
    def test_font_cut_in_half_does_not_crash(self):
        # FreeType opens a font whose glyph data is cut off; drawing with it must not crash.
        for name in ("LiberationMono-Bold.ttf", "digitalfont.ttf"):
            real = self.real(name)
            with open(self.path(name), "wb") as f:
                f.write(real[:len(real) // 2])
        game, counter = self.start_menu()
        self.press_play(game, counter)
        game.move(300, 300)
        game.press_button(1)
        counter.wait(2, 10, game)
        game.release_button(1)
        self.assertEqual(counter.wait(30, 10), 30, "the game does not draw frames")
        self.assertTrue(game.running(), "the game ended (exit code %r)" % game.proc.returncode)
        game.close()
        self.assertEqual(game.wait_exit(10), 0, "exit code after closing the window")


def _add_case(scene, name, how):
    check = BadContentTestCase.check_menu if scene == "menu" else BadContentTestCase.check_game
    stem = os.path.splitext(name)[0].replace("-", "_").lower()

    @keeps_artifacts_on_failure
    def test(self):
        check(self, name, how)

    test.__name__ = "test_%s_%s_%s" % (scene, stem, how)
    test.__doc__ = "%s: %s %s ends the program with its failure lines and exit code 0" % (
        scene, how.replace("_", " "), name)
    setattr(BadContentTestCase, test.__name__, test)


for _how in BREAKS:
    for _name in MENU_FILES:
        _add_case("menu", _name, _how)
    for _name in GAME_FILES:
        _add_case("game", _name, _how)




if __name__ == "__main__":
    sys.exit(e2ecase.main(sys.modules[__name__]))
