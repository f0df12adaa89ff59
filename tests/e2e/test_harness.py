"""Checks of the e2e harness itself: screen captures are read right and PNGs are valid.

ImageMagick (/usr/bin/convert, Debian package imagemagick) serves as the
independent reader/writer; tests that need it are skipped without it.

Run:  python3 tests/e2e/test_harness.py [-v]
"""

import os
import random
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import harness  # noqa: E402
from harness import X  # noqa: E402

IMAGEMAGICK = next((p for p in ("/usr/bin/convert-im6.q16", "/usr/bin/convert") if os.path.exists(p)), None)


def random_image(width, height, seed):
    rng = random.Random(seed)
    return harness.Image(width, height, bytes(rng.randrange(256) for _ in range(width * height * 3)))


def magick(*args, stdin=None):
    res = subprocess.run([IMAGEMAGICK, *args], input=stdin, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, timeout=30)
    if res.returncode != 0:
        raise AssertionError("convert %s failed: %s" % (" ".join(args), res.stderr.decode(errors="replace")))
    return res.stdout


@unittest.skipIf(IMAGEMAGICK is None, "ImageMagick's convert is not installed")
class ImageFilesTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="zorvane-harness-")

    def test_png_written_by_harness_reads_back_identically(self):
        img = random_image(37, 23, 1)  # odd sizes: no accidental alignment
        path = img.save_png(os.path.join(self.tmp, "r.png"))
        raw = magick("png:" + path, "-depth", "8", "rgb:-")
        self.assertEqual(raw, img.rgb)

    def test_xwd_24_bits_msb_first_with_row_padding(self):
        img = random_image(7, 5, 2)  # 7*3 = 21 bytes a row, padded to 24 by ImageMagick
        png = img.save_png(os.path.join(self.tmp, "r.png"))
        dump = magick("png:" + png, "-type", "TrueColor", "xwd:-")
        parsed = harness.Image.from_xwd(dump)
        self.assertEqual((parsed.width, parsed.height), (7, 5))
        self.assertEqual(parsed.rgb, img.rgb)
        self.assertEqual(parsed.pixel(6, 4), img.pixel(6, 4))

    def test_garbage_is_rejected(self):
        with self.assertRaises(ValueError):
            harness.Image.from_xwd(b"\0" * 200)
        with self.assertRaises(ValueError):
            harness.Image.from_xwd(b"short")


class CaptureTest(unittest.TestCase):
    """A plain X window with known colours, captured the way the game's window is."""

    def test_capture_of_a_real_window(self):
        with harness.XServer() as xs:
            dpy = xs.dpy
            screen = dpy.screen()
            win = screen.root.create_window(
                10, 10, 64, 48, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
                background_pixel=0x123456, event_mask=X.ExposureMask)
            win.map()
            dpy.sync()
            gc = win.create_gc(foreground=0xFF8000)
            # the server clears to the background on map; then draw a square
            deadline = time.monotonic() + 5
            img = None
            while time.monotonic() < deadline:
                win.fill_rectangle(gc, 5, 6, 10, 4)
                dpy.sync()
                img = harness.Image.from_xwd(xs.xwd(win.id))
                if img.pixel(5, 6) == (0xFF, 0x80, 0x00):
                    break
                time.sleep(0.05)
            self.assertEqual((img.width, img.height), (64, 48))
            self.assertEqual(img.pixel(0, 0), (0x12, 0x34, 0x56))
            self.assertEqual(img.pixel(63, 47), (0x12, 0x34, 0x56))
            self.assertEqual(img.pixel(5, 6), (0xFF, 0x80, 0x00))
            self.assertEqual(img.pixel(14, 9), (0xFF, 0x80, 0x00))
            self.assertEqual(img.pixel(15, 9), (0x12, 0x34, 0x56))
            self.assertEqual(img.pixel(14, 10), (0x12, 0x34, 0x56))
            self.assertEqual(len(img.diff(harness.Image(64, 48, bytes([0x12, 0x34, 0x56]) * (64 * 48)))), 40)
            if IMAGEMAGICK:
                # the same dump read by ImageMagick gives the same pixels
                dump = xs.xwd(win.id)
                self.assertEqual(magick("xwd:-", "-depth", "8", "rgb:-", stdin=dump),
                                 harness.Image.from_xwd(dump).rgb)


if __name__ == "__main__":
    unittest.main()
