"""End-to-end tests of the title menu, driving the real game in a private Xvfb.

Environment:
  ZORVANE_BIN            the game executable (default: <repo>/build/zorvane)
  ZORVANE_CONTENT_DIR    working directory that contains Content/ (default: the binary's folder)
  ZORVANE_E2E_ARTIFACTS  where screenshots/logs go (default: /tmp/zorvane-e2e)

Run:  python3 tests/e2e/test_menu.py [-v] [TestMenu.test_name ...]
"""

import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import e2ecase  # noqa: E402
from e2ecase import ARTIFACTS, CONTENT_DIR, keeps_artifacts_on_failure  # noqa: E402


WIDTH, HEIGHT = 800, 600
# The large bill: 250x96 with its top-left corner at (275, 252).
BILL = (275, 252, 275 + 250, 252 + 96)
BILL_CENTRE = (400, 300)
FAR_AWAY = (20, 20)
TITLE_AREA = (0, 0, WIDTH, 200)
HOVER_ALPHA = 200 / 255

MISSING_CONTENT_OUTPUT = [
    "Could not load file from: Content/moneybill.png",
    "Could not load image: Bill",
    "Could not load file from: Content/largebill.png",
    "Could not load image: Large bill",
]

# Time for the game to react to the pointer: a few frames at 60 fps.
FEW_FRAMES = 0.3




def outside(box, margin):
    """Boxes covering the window except ``box`` grown by ``margin`` pixels."""
    x0, y0, x1, y1 = box[0] - margin, box[1] - margin, box[2] + margin, box[3] + margin
    return [(0, 0, WIDTH, y0), (0, y1, WIDTH, HEIGHT), (0, y0, x0, y1), (x1, y0, WIDTH, y1)]


class MenuTestCase(e2ecase.GameRunCase):
    menu_png_saved = False

    def start_menu(self):
        """Start the game and return (game, capture of the plain menu, pointer far from the bill)."""
        if not os.path.isdir(os.path.join(CONTENT_DIR, "Content")):
            self.fail("%s has no Content/ folder (set ZORVANE_CONTENT_DIR)" % CONTENT_DIR)
        game = self.launch()
        game.wait_for_window()
        game.wait_for_frame(label="first-frame")
        # Xvfb starts with the pointer in the middle of the screen, which may be over the bill.
        game.move(*FAR_AWAY)
        time.sleep(FEW_FRAMES)
        menu = game.wait_stable(label="menu")
        if not MenuTestCase.menu_png_saved:
            menu.save_png(os.path.join(ARTIFACTS, "menu.png"))
            MenuTestCase.menu_png_saved = True
        return game, menu

    def settle_to(self, game, reference, box, label, timeout=2.0):
        """Wait until ``box`` looks like ``reference``, then confirm it stays so for a few frames.

        Returns the list of differing pixels (empty when it matched).
        """
        deadline = time.monotonic() + timeout
        while True:
            cur = game.screenshot()
            changed = cur.diff(reference, box, threshold=2)
            if not changed or time.monotonic() >= deadline:
                break
            time.sleep(0.05)
        if not changed:
            time.sleep(FEW_FRAMES)
            cur = game.screenshot()
            changed = cur.diff(reference, box, threshold=2)
        game.keep(label, cur)
        return changed

    def assert_translucent_version(self, opaque, hovered):
        """``hovered`` must be ``opaque`` drawn with alpha 200 over some backdrop.

        Over a backdrop D, an opaque result P becomes a*P + (1-a)*D with a = 200/255,
        so every channel must lie in [a*P, a*P + (1-a)*255] (this holds for the text
        on the bill too). A few units of rounding are allowed.
        """
        x0, y0, x1, y1 = BILL
        area = (x1 - x0) * (y1 - y0)
        changed = opaque.diff(hovered, BILL, threshold=2)
        self.assertGreaterEqual(
            len(changed), area * 0.3,
            "only %d of %d pixels of the bill changed under the pointer" % (len(changed), area))
        bad = []
        tol = 3
        for y in range(y0, y1):
            for x in range(x0, x1):
                for p, h in zip(opaque.pixel(x, y), hovered.pixel(x, y)):
                    low = HOVER_ALPHA * p
                    high = low + (1 - HOVER_ALPHA) * 255
                    if not (low - tol <= h <= high + tol):
                        bad.append(((x, y), opaque.pixel(x, y), hovered.pixel(x, y)))
                        break
        # "PLAY" is black on the opaque bill; at alpha 200 over the light menu
        # backdrop it cannot stay black.
        dark = [(x, y) for y in range(y0, y1) for x in range(x0, x1)
                if max(opaque.pixel(x, y)) <= 10]
        if len(dark) >= 50:
            still_dark = [p for p in dark if max(hovered.pixel(*p)) <= 10]
            self.assertLess(len(still_dark), len(dark) / 2,
                            "%d of %d black pixels on the bill (the PLAY text) stayed black on hover"
                            % (len(still_dark), len(dark)))
        self.assertLessEqual(
            len(bad), area // 200,
            "%d bill pixels cannot be the opaque bill at alpha 200 over any backdrop, e.g. "
            "(pos, opaque, hovered) %s" % (len(bad), bad[:5]))

    # -- tests --------------------------------------------------------------

    @keeps_artifacts_on_failure
    def test_window_title_size_and_not_resizable(self):
        game, menu = self.start_menu()
        wm_name, net_wm_name = game.title()
        self.assertEqual(wm_name, "Zorvane - Quendral", "WM_NAME")
        if net_wm_name is not None:
            self.assertEqual(net_wm_name, "Zorvane - Quendral", "_NET_WM_NAME")
        self.assertEqual(game.size(), (WIDTH, HEIGHT), "window client size")
        self.assertEqual((menu.width, menu.height), (WIDTH, HEIGHT), "captured window size")
        hints = game.size_hints()
        self.assertEqual(hints["min"], (WIDTH, HEIGHT), "WM_NORMAL_HINTS minimum size")
        self.assertEqual(hints["max"], (WIDTH, HEIGHT), "WM_NORMAL_HINTS maximum size")

    @keeps_artifacts_on_failure
    def test_close_request_exits_with_code_0(self):
        game, _ = self.start_menu()
        game.close()
        code = game.wait_exit(5)
        self.assertIsNotNone(code, "the game still runs 5 s after the window was asked to close")
        self.assertEqual(code, 0, "exit code after closing the window")

    @keeps_artifacts_on_failure
    def test_without_content_folder_reports_both_images_and_exits_0(self):
        empty = os.path.join(self.work, "empty")
        os.mkdir(empty)
        game = self.launch(cwd=empty)
        code = game.wait_exit(5)
        self.assertIsNotNone(code, "the game still runs 5 s after starting without Content/")
        self.assertEqual(code, 0, "exit code without Content/")
        out = game.stdout_text()
        self.assertIn(out, ("\n".join(MISSING_CONTENT_OUTPUT) + "\n", "\n".join(MISSING_CONTENT_OUTPUT)),
                      "stdout without Content/ was:\n%s" % out)

    @keeps_artifacts_on_failure
    def test_bill_turns_translucent_under_the_pointer(self):
        game, menu = self.start_menu()
        game.move(*BILL_CENTRE)
        first = game.wait_for_change(menu, timeout=3, box=BILL, label="hover-first-change")
        self.assertIsNotNone(first, "the bill did not change within 3 s of the pointer moving onto it")
        time.sleep(FEW_FRAMES)
        hovered = game.screenshot(label="hover")
        self.assert_translucent_version(menu, hovered)
        changed = hovered.diff(menu, TITLE_AREA, threshold=2)
        self.assertEqual(len(changed), 0, "%d pixels of the title area changed when the pointer "
                         "went over the bill, e.g. %s" % (len(changed), changed[:5]))
        for box in outside(BILL, 2):
            changed = hovered.diff(menu, box, threshold=2)
            self.assertEqual(len(changed), 0,
                             "%d pixels outside the bill changed on hover, e.g. %s"
                             % (len(changed), changed[:5]))
        # Leaving the bill makes it opaque again.
        game.move(*FAR_AWAY)
        changed = self.settle_to(game, menu, BILL, "left-again")
        self.assertEqual(len(changed), 0,
                         "the bill is not back to opaque after the pointer left (%d pixels differ)"
                         % len(changed))
        # So does jumping from the bill straight out of the window.
        game.move(*BILL_CENTRE)
        self.assertEqual(self.settle_to(game, hovered, BILL, "hover-again"), [],
                         "the bill did not turn translucent again")
        wx, wy = game.position()
        game.move_screen(wx + WIDTH + 50, wy + HEIGHT // 2)
        changed = self.settle_to(game, menu, BILL, "pointer-out-of-window")
        self.assertEqual(len(changed), 0,
                         "the bill stays translucent after the pointer left the window (%d pixels differ)"
                         % len(changed))

    @keeps_artifacts_on_failure
    def test_bill_edges_left_top_excluded_right_bottom_included(self):
        game, menu = self.start_menu()
        game.move(*BILL_CENTRE)
        self.assertIsNotNone(game.wait_for_change(menu, timeout=3, box=BILL),
                             "the bill did not react to the pointer at its centre")
        time.sleep(FEW_FRAMES)
        hovered = game.screenshot(label="hover-centre")
        x0, y0, x1, y1 = BILL
        cases = [
            ("left edge", (x0, 300), False),
            ("just left of the edge", (x0 - 1, 300), False),
            ("just inside the left edge", (x0 + 1, 300), True),
            ("top edge", (400, y0), False),
            ("just inside the top edge", (400, y0 + 1), True),
            ("right edge", (x1, 300), True),
            ("just right of the edge", (x1 + 1, 300), False),
            ("bottom edge", (400, y1), True),
            ("just below the bottom edge", (400, y1 + 1), False),
        ]
        for name, pos, over in cases:
            with self.subTest(name, pos=pos, over=over):
                # Start from the opposite state so the expected look has to be produced.
                game.move(*(FAR_AWAY if over else BILL_CENTRE))
                self.assertEqual(self.settle_to(game, hovered if not over else menu, BILL,
                                                "before-%s" % name.replace(" ", "-")), [],
                                 "the bill did not reach its starting look")
                game.move(*pos)
                expected = hovered if over else menu
                changed = self.settle_to(game, expected, BILL, name.replace(" ", "-"))
                self.assertEqual(len(changed), 0,
                                 "pointer at %s (%s): bill should be %s, %d pixels differ"
                                 % (pos, name, "translucent" if over else "opaque", len(changed)))

    @keeps_artifacts_on_failure
    def test_keys_do_nothing_on_the_menu(self):
        game, menu = self.start_menu()
        game.focus()
        game.watch_keys()
        keys = ["Escape", "Return", "space", "a", "d", "w", "s", "q", "z", "p",
                "Control_L", "Control_R", "Left", "Right", "Up", "Down"]
        for key in keys:
            game.tap(key)
            time.sleep(0.05)
        time.sleep(0.5)
        self.assertTrue(game.running(), "the game exited (code %r) after key presses on the menu"
                        % game.proc.returncode)
        # prove the presses really reached the window, or this test would show nothing
        pressed = {code for kind, code in game.keys_seen() if kind == "press"}
        missing = [k for k in keys if game.keycode(k) not in pressed]
        self.assertEqual(missing, [], "key presses that never reached the game window")
        after = game.screenshot(label="after-keys")
        changed = after.diff(menu, threshold=8)
        self.assertEqual(len(changed), 0, "%d pixels changed after key presses, e.g. %s"
                         % (len(changed), changed[:5]))
        # stdout is only complete once the game has exited
        game.close()
        code = game.wait_exit(5)
        self.assertEqual(code, 0, "exit code after closing the window")
        self.assertEqual(game.stdout_text(), "", "stdout after key presses on the menu")




if __name__ == "__main__":
    sys.exit(e2ecase.main(sys.modules[__name__]))
