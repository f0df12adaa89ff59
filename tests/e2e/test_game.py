"""End-to-end tests of play, driving the real game in a private Xvfb.

Environment:
  ZORVANE_BIN            the game executable (default: <repo>/build/zorvane)
  ZORVANE_CONTENT_DIR    working directory that contains Content/ (default: the binary's folder)
  ZORVANE_E2E_ARTIFACTS  where screenshots/logs go (default: /tmp/zorvane-e2e)

Run:  python3 tests/e2e/test_game.py [-v] [GameTestCase.test_name ...]

What the tests lean on: input is read once per frame as live state, so buttons and keys are
held for 100 ms and wheel notches go one per frame; the first bill of the first game of a run
is always "07:30" at x=277 (the generator is seeded only after it); bills fall at about one
pixel per frame. Things are found on screen by colour: the bill's digits and the panels' text
are the only near-black pixels above the player's clock, and the clocks' gold rims are the only
gold pixels anywhere.
"""

import math
import os
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import e2ecase  # noqa: E402
from e2ecase import CONTENT_DIR, keeps_artifacts_on_failure  # noqa: E402


WIDTH, HEIGHT = 800, 600
PLAY = (400, 300)          # centre of the menu's large bill
FAR_AWAY = (20, 20)
# The menu's large bill and the game-over panel share this place: 250x96 at (275, 252).
CENTRE_PANEL = (275, 252, 275 + 250, 252 + 96)
# Lines of the score panel (250x96 at 10,10): "Score: N" and "Lives: N", 30 px, black.
SCORE_LABEL = (18, 18, 130, 50)
SCORE_NUMBER = (140, 18, 205, 50)
LIVES_LABEL = (18, 52, 130, 86)
LIVES_NUMBER = (140, 52, 205, 86)
# The part of the field between the score panel and the player's clock; a bill's time shows here.
FIELD = (0, 108, WIDTH, 485)
FIRST_BILL_X = 277
FIRST_BILL_COLUMN = (FIRST_BILL_X - 95, 108, FIRST_BILL_X + 95, 485)
CLOCK_Y = 535              # centre of the player's clock face
CLOCK_AREA = (0, 485, WIDTH, HEIGHT)

HOLD = 0.1                 # a button or key must be held over a couple of frames to be seen
WHEEL_GAP = 0.05           # one wheel notch per frame at 60 fps, with some margin
FEW_FRAMES = 0.3

DARK = 60                  # max channel below this: text and digits
HOVER_ALPHA = 200 / 255    # the panels are the large bill drawn at alpha 200




# ---------------------------------------------------------------------------
# Looking at captures
# ---------------------------------------------------------------------------


def dark_pixels(img, box, threshold=DARK):
    """[(x, y)] in ``box`` whose brightest channel is below ``threshold``."""
    x0, y0, x1, y1 = box
    w, rgb = img.width, img.rgb
    found = []
    for y in range(y0, y1):
        row = rgb[(y * w + x0) * 3:(y * w + x1) * 3]
        if min(row) >= threshold:
            continue
        for k in range(x1 - x0):
            if max(row[3 * k:3 * k + 3]) < threshold:
                found.append((x0 + k, y))
    return found


def bounds(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def find_bill_digits(img, box=FIELD):
    """Bounding box (x0, y0, x1, y1) of a bill's black digits in ``box``, or None."""
    dark = dark_pixels(img, box)
    return bounds(dark) if len(dark) >= 100 else None


def is_gold(r, g, b):
    return r - b >= 70 and r >= 120 and g >= 60


def gold_pixels(img, box, step=2):
    """Gold (clock rim) pixels in ``box``, sampled every ``step`` pixels both ways."""
    x0, y0, x1, y1 = box
    w, rgb = img.width, img.rgb
    found = []
    for y in range(y0, y1, step):
        row = rgb[(y * w + x0) * 3:(y * w + x1) * 3]
        for k, (r, g, b) in enumerate(zip(row[0::3 * step], row[1::3 * step], row[2::3 * step])):
            if is_gold(r, g, b):
                found.append((x0 + k * step, y))
    return found


def centroid(points):
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


def text_mask(img, box):
    """The fully inked pixels of black text in ``box``; what lies under a translucent panel
    does not change them."""
    return frozenset(dark_pixels(img, box))


def masks_differ(a, b):
    return len(a ^ b)


def hand_angles(img, cx, cy=CLOCK_Y):
    """Directions (degrees clockwise from 12, 5-degree steps) in which a clock hand leaves the
    centre of the player's clock: dark pixels along most of the radius 6..18 (inside the numerals)."""
    found = []
    for a in range(0, 360, 5):
        t = math.radians(a)
        dark = 0
        for r in range(6, 19):
            px = img.pixel(int(round(cx + r * math.sin(t))), int(round(cy - r * math.cos(t))))
            if max(px) < 110:
                dark += 1
        if dark >= 10:
            found.append(a)
    return found


def angle_gap(a, b):
    d = abs(a - b) % 360
    return min(d, 360 - d)


def dial_shows(angles, hour, minute):
    """True if the hands found point as at hour:minute on a twelve-hour dial (and nowhere else)."""
    minute_at = minute * 6
    hour_at = (hour % 12) * 30 + minute * 0.5
    if not angles:
        return False
    near_minute = any(angle_gap(a, minute_at) <= 6 for a in angles)
    near_hour = any(angle_gap(a, hour_at) <= 8 for a in angles)
    stray = [a for a in angles if angle_gap(a, minute_at) > 11 and angle_gap(a, hour_at) > 13]
    return near_minute and near_hour and not stray


def panel_mismatch(menu, shot, step=1):
    """Compare the centre of ``shot`` with the menu's large bill (same place, drawn opaque there)
    as it must look drawn at alpha 200 over anything: each channel between a*P and
    a*P + (1-a)*255. Pixels near black text on either are left out (the menu's PLAY, the
    panel's own lines). Returns ([(pos, bill pixel, seen pixel)] that do not fit, pixels checked,
    pixels checked that look as on the opaque bill).
    """
    x0, y0, x1, y1 = CENTRE_PANEL
    text = set(dark_pixels(shot, CENTRE_PANEL)) | set(dark_pixels(menu, CENTRE_PANEL))
    near_text = {(x + dx, y + dy) for x, y in text for dx in range(-2, 3) for dy in range(-2, 3)}
    bad = []
    checked = 0
    opaque = 0
    tol = 3
    spread = (1 - HOVER_ALPHA) * 255
    for y in range(y0, y1, step):
        for x in range(x0, x1, step):
            if (x, y) in near_text:
                continue
            checked += 1
            p, h = menu.pixel(x, y), shot.pixel(x, y)
            if max(abs(pc - hc) for pc, hc in zip(p, h)) <= 2:
                opaque += 1
            for pc, hc in zip(p, h):
                low = HOVER_ALPHA * pc
                if not (low - tol <= hc <= low + spread + tol):
                    bad.append(((x, y), p, h))
                    break
    return bad, checked, opaque


# ---------------------------------------------------------------------------
# Tests
# ---------------------------------------------------------------------------


class GameTestCase(e2ecase.GameRunCase):

    def start_menu(self, cwd=CONTENT_DIR):
        """Start the game; return (game, capture of the plain menu, pointer away from the bill)."""
        if not os.path.isdir(os.path.join(cwd, "Content")):
            self.fail("%s has no Content/ folder (set ZORVANE_CONTENT_DIR)" % cwd)
        game = self.launch(cwd)
        game.wait_for_window()
        game.wait_for_frame(label="first-frame")
        game.move(*FAR_AWAY)  # Xvfb starts with the pointer over the bill
        time.sleep(FEW_FRAMES)
        menu = game.wait_stable(label="menu")
        return game, menu

    def press_play(self, game):
        game.move(*PLAY)
        time.sleep(FEW_FRAMES)
        game.click(1, hold=HOLD)

    def start_game(self):
        """Start the program, press PLAY; return (game, menu capture, first capture of play)."""
        game, menu = self.start_menu()
        self.press_play(game)
        deadline = time.monotonic() + 5
        while True:
            shot = game.screenshot()
            # the player's clock at the bottom is the field's mark: gold, and none on the menu
            if len(gold_pixels(shot, CLOCK_AREA)) >= 200:
                game.keep("play-started", shot)
                return game, menu, shot
            if time.monotonic() >= deadline:
                game.keep("no-play", shot)
                self.fail("pressing PLAY did not start a game within 5 s (no player's clock)")
            time.sleep(0.05)

    def place_clock(self, game, x):
        """Move the pointer to ``x`` and wait until the player's clock is centred there."""
        game.move(x, 300)
        deadline = time.monotonic() + 3
        while True:
            shot = game.screenshot()
            gold = gold_pixels(shot, CLOCK_AREA, step=1)
            if gold and abs(centroid(gold)[0] - x) <= 2:
                return shot
            if time.monotonic() >= deadline:
                game.keep("clock-not-placed", shot)
                self.fail("the player's clock is not at x=%d 3 s after the pointer went there "
                          "(gold centre %s)" % (x, centroid(gold) if gold else None))
            time.sleep(0.05)

    def wait_for_dial(self, game, cx, hour, minute, timeout=3.0):
        deadline = time.monotonic() + timeout
        while True:
            shot = game.screenshot()
            angles = hand_angles(shot, cx)
            if dial_shows(angles, hour, minute):
                return shot
            if time.monotonic() >= deadline:
                game.keep("dial", shot)
                self.fail("the player's clock does not show %d:%02d; hands found at %s degrees"
                          % (hour, minute, angles))
            time.sleep(0.05)

    def wait_for_first_bill_below_panel(self, game, timeout=8.0):
        """Wait until the first bill's digits are clear of the score panel; return (capture, box)."""
        deadline = time.monotonic() + timeout
        while True:
            shot = game.screenshot()
            digits = find_bill_digits(shot, FIRST_BILL_COLUMN)
            if digits is not None and digits[1] >= 125:
                return shot, digits
            if time.monotonic() >= deadline:
                game.keep("no-bill", shot)
                self.fail("no bill's digits below the score panel around x=%d within %.0f s (last: %s)"
                          % (FIRST_BILL_X, timeout, digits))
            time.sleep(0.05)

    def fire(self, game):
        game.click(1, hold=HOLD)

    def assert_score_panel(self, shot, score_ref, lives_ref, what, score_same=True, lives_same=True):
        for name, box, ref, same in (("score number", SCORE_NUMBER, score_ref[1], score_same),
                                     ("score label", SCORE_LABEL, score_ref[0], True),
                                     ("lives number", LIVES_NUMBER, lives_ref[1], lives_same),
                                     ("lives label", LIVES_LABEL, lives_ref[0], True)):
            d = masks_differ(text_mask(shot, box), ref)
            if same:
                self.assertLessEqual(d, 12, "%s: the %s changed (%d text pixels differ)" % (what, name, d))
            else:
                self.assertGreaterEqual(d, 40, "%s: the %s did not change (%d text pixels differ)"
                                        % (what, name, d))

    @staticmethod
    def panel_refs(shot):
        return ((text_mask(shot, SCORE_LABEL), text_mask(shot, SCORE_NUMBER)),
                (text_mask(shot, LIVES_LABEL), text_mask(shot, LIVES_NUMBER)))

    # -- tests --------------------------------------------------------------

    @keeps_artifacts_on_failure
    def test_play_starts_and_the_first_bill_falls(self):
        game, menu, _ = self.start_game()
        first, digits = self.wait_for_first_bill_below_panel(game)
        game.keep("bill-first", first)
        cx = (digits[0] + digits[2]) / 2
        self.assertLessEqual(abs(cx - FIRST_BILL_X), 6,
                             "the first bill's digits are centred at x=%.1f, not %d" % (cx, FIRST_BILL_X))
        t0 = time.monotonic()
        time.sleep(1.0)
        later = game.screenshot(label="bill-later")
        t1 = time.monotonic()
        moved = find_bill_digits(later, FIRST_BILL_COLUMN)
        self.assertIsNotNone(moved, "the bill's digits vanished from around x=%d" % FIRST_BILL_X)
        dy = moved[1] - digits[1]
        # 70 px/s cut to whole pixels per frame: about 60 px/s at 60 fps; slow frames move more
        speed = dy / (t1 - t0)
        self.assertGreaterEqual(speed, 30, "the bill went down %d px in %.2f s" % (dy, t1 - t0))
        self.assertLessEqual(speed, 110, "the bill went down %d px in %.2f s" % (dy, t1 - t0))
        self.assertLessEqual(abs(moved[0] - digits[0]), 1, "the bill moved sideways: %s -> %s"
                             % (digits, moved))
        self.assertEqual(moved[2] - moved[0], digits[2] - digits[0], "the bill's digits changed width")
        # the rows the digits' top edge left now show the bill's plain top part instead
        old_top = (digits[0], digits[1], digits[2] + 1, digits[1] + min(dy, 10))
        self.assertTrue(later.diff(first, old_top, threshold=8),
                        "the place the bill's digits left did not change")

    @keeps_artifacts_on_failure
    def test_matching_time_destroys_the_bill_and_scores(self):
        game, menu, _ = self.start_game()
        self.place_clock(game, FIRST_BILL_X)
        # 12:00 back by 18 quarters is 7:30; wheel towards the user (button 5) turns it back
        game.wheel(-18, gap=WHEEL_GAP)
        self.wait_for_dial(game, FIRST_BILL_X, 7, 30)
        before, digits = self.wait_for_first_bill_below_panel(game)
        game.keep("before-shot", before)
        score_ref, lives_ref = self.panel_refs(before)
        self.fire(game)
        deadline = time.monotonic() + 4
        while True:
            shot = game.screenshot()
            left = find_bill_digits(shot, FIRST_BILL_COLUMN)
            if left is None:
                break
            if time.monotonic() >= deadline:
                game.keep("bill-still-there", shot)
                self.fail("the 07:30 bill is still there 4 s after a 7:30 clock was fired under it "
                          "(digits at %s, were at %s)" % (left, digits))
            time.sleep(0.05)
        game.keep("bill-gone", shot)
        time.sleep(FEW_FRAMES)
        after = game.screenshot(label="after")
        self.assertIsNone(find_bill_digits(after, FIRST_BILL_COLUMN),
                          "the bill's digits came back around x=%d" % FIRST_BILL_X)
        self.assertEqual(dark_pixels(after, FIELD), [], "something dark is left on the field")
        self.assertEqual(gold_pixels(after, FIELD), [], "the fired clock is still flying")
        self.assert_score_panel(after, score_ref, lives_ref, "after the hit", score_same=False)

    @keeps_artifacts_on_failure
    def test_other_time_bounces_off_and_the_bill_falls_on(self):
        game, menu, _ = self.start_game()
        placed = self.place_clock(game, FIRST_BILL_X)
        self.assertTrue(dial_shows(hand_angles(placed, FIRST_BILL_X), 12, 0),
                        "the player's clock does not start at 12:00 (hands at %s)"
                        % hand_angles(placed, FIRST_BILL_X))
        before, digits = self.wait_for_first_bill_below_panel(game)
        game.keep("before-shot", before)
        score_ref, lives_ref = self.panel_refs(before)
        self.fire(game)
        fired = time.monotonic()
        track = []  # (seconds since firing, centre of the flying clock, gold pixels seen)
        while time.monotonic() - fired < 3.0:
            shot = game.screenshot()
            gold = gold_pixels(shot, FIELD)
            if len(gold) >= 15:
                track.append((time.monotonic() - fired, centroid(gold), len(gold)))
                if len(track) in (3, 8):
                    game.keep("flying-%d" % len(track), shot)
            elif track and track[-1][1][1] > 380:
                break  # gone down past the clock's row or out of the window
            time.sleep(0.02)
        self.assertTrue(track, "no small clock was seen flying after firing")
        # the bill is still there and lower, and nothing was scored
        after = game.screenshot(label="after")
        still = find_bill_digits(after, FIRST_BILL_COLUMN)
        self.assertIsNotNone(still, "the bill vanished after a small clock of another time hit it")
        self.assertGreater(still[1], digits[1] + 20, "the bill did not fall on: %s -> %s" % (digits, still))
        self.assertLessEqual(abs((still[0] + still[2]) / 2 - FIRST_BILL_X), 6,
                             "the bill left its column: %s" % (still,))
        self.assert_score_panel(after, score_ref, lives_ref, "after the bounce")
        # the small clock's path: straight up, then diagonally down
        ys = [c[1] for _, c, _ in track]
        top = ys.index(min(ys))
        # The highest sample may already hold the turn (up, bounce and off sideways between two
        # captures), so only the samples before it count as the straight climb.
        self.assertGreater(top, 1, "the small clock was never seen going up: %s" % track)
        up = track[:top]
        self.assertLess(up[-1][1][1], up[0][1][1] - 40, "the small clock did not fly up: %s" % up)
        self.assertLessEqual(max(abs(c[0] - FIRST_BILL_X) for _, c, _ in up), 4,
                             "the small clock did not fly straight up from x=%d: %s" % (FIRST_BILL_X, up))
        # on the way down only where the clock is wholly in sight (it passes under the bill)
        whole = max(n for _, _, n in track)
        down = [s for s in track[top + 1:] if s[2] >= 0.8 * whole]
        self.assertGreaterEqual(len(down), 2, "the small clock was not seen coming back down: %s" % track)
        (_, (xa, ya), _), (_, (xb, yb), _) = down[0], down[-1]
        dx, dy = xb - xa, yb - ya
        self.assertGreaterEqual(dy, 40, "the small clock did not come down after the bill: %s" % down)
        self.assertLessEqual(abs(abs(dx) - dy), 0.2 * dy + 6,
                             "the small clock did not come down diagonally (dx %.0f, dy %.0f): %s"
                             % (dx, dy, down))

    @keeps_artifacts_on_failure
    def test_lost_game_freezes_then_return_restarts_and_escape_leaves(self):
        game, menu, start = self.start_game()
        game.move(*FAR_AWAY)
        time.sleep(3.0)  # the first bill is clear of the score panel by now
        fresh = game.screenshot(label="fresh-game")
        score_ref, lives_ref = self.panel_refs(fresh)
        bad, checked, _ = panel_mismatch(menu, fresh, step=3)
        self.assertGreater(len(bad), checked // 2, "a new game shows the game-over panel")
        # five bills must fall out: about 35 s at 60 fps
        deadline = time.monotonic() + 90
        while True:
            shot = game.screenshot()
            bad, checked, _ = panel_mismatch(menu, shot, step=3)
            if len(bad) <= checked // 50:
                break
            if time.monotonic() >= deadline:
                game.keep("no-game-over", shot)
                self.fail("no game-over panel 90 s into an untouched game (%d of %d sampled pixels "
                          "of the centre do not fit it)" % (len(bad), checked))
            time.sleep(0.5)
        time.sleep(FEW_FRAMES)
        over = game.screenshot(label="game-over")
        time.sleep(1.0)
        later = game.screenshot(label="game-over-1s-later")
        changed = later.diff(over)
        self.assertEqual(len(changed), 0, "the field still moves after the game is over (%d pixels "
                         "changed in 1 s, e.g. %s)" % (len(changed), changed[:5]))
        self.assert_game_over_panel(menu, over)
        self.assert_score_panel(over, score_ref, lives_ref, "at game over", lives_same=False)

        # Return starts a fresh game
        game.focus()
        game.tap("Return", hold=HOLD)
        deadline = time.monotonic() + 3
        while True:
            shot = game.screenshot()
            bad, checked, _ = panel_mismatch(menu, shot, step=3)
            if len(bad) > checked // 2:
                break
            if time.monotonic() >= deadline:
                game.keep("still-over", shot)
                self.fail("the game-over panel is still there 3 s after Return")
            time.sleep(0.05)
        time.sleep(FEW_FRAMES)
        again = game.screenshot(label="after-return")
        self.assert_score_panel(again, score_ref, lives_ref, "after Return")
        self.assertGreaterEqual(len(gold_pixels(again, CLOCK_AREA)), 200, "no player's clock after Return")
        time.sleep(0.5)
        moving = game.screenshot(label="after-return-0.5s")
        self.assertTrue(moving.diff(again, (0, 0, WIDTH, 485)),
                        "nothing moves on the field after Return (no bill falling)")

        # Escape goes back to the menu
        game.tap("Escape", hold=HOLD)
        deadline = time.monotonic() + 3
        while True:
            shot = game.screenshot()
            changed = shot.diff(menu, threshold=2)
            if not changed or time.monotonic() >= deadline:
                break
            time.sleep(0.05)
        game.keep("after-escape", shot)
        self.assertEqual(len(changed), 0, "the window does not look like the menu after Escape "
                         "(%d pixels differ, e.g. %s)" % (len(changed), changed[:5]))
        time.sleep(FEW_FRAMES)
        self.assertTrue(game.running(), "the game exited after Escape (code %r)" % game.proc.returncode)
        self.assertTrue(game.screenshot().same_as(shot), "the menu does not stay still after Escape")

    def assert_game_over_panel(self, menu, over):
        """The centre panel is the menu's large bill, in the same place, drawn at alpha 200 with
        black text on it."""
        x0, y0, x1, y1 = CENTRE_PANEL
        # (the bill's rounded corners let what lies beneath show through)
        text = dark_pixels(over, (x0 + 3, y0 + 3, x1 - 3, y1 - 3))
        self.assertGreaterEqual(len(text), 300, "too little text on the game-over panel (%d pixels)"
                                % len(text))
        tb = bounds(text)
        # "GAME OVER" over a smaller "Press enter to try again"
        self.assertTrue(tb[2] - tb[0] >= 120 and tb[3] - tb[1] >= 30,
                        "the text on the game-over panel spans only %s" % (tb,))
        bad, checked, opaque = panel_mismatch(menu, over)
        area = (x1 - x0) * (y1 - y0)
        self.assertGreaterEqual(checked, area // 2, "too few pixels of the panel away from text")
        self.assertLessEqual(len(bad), area // 200,
                             "%d of %d pixels of the centre panel are not the large bill at alpha 200, "
                             "e.g. (pos, bill, seen) %s" % (len(bad), checked, bad[:5]))
        # translucent, not the opaque bill: the field must show through in most places
        self.assertLessEqual(opaque, checked // 2, "%d of %d pixels of the centre panel look as on the "
                             "opaque bill" % (opaque, checked))

    @keeps_artifacts_on_failure
    def test_close_request_during_play_exits_with_code_0(self):
        game, _, _ = self.start_game()
        time.sleep(0.5)
        self.assertTrue(game.running(), "the game exited by itself (code %r)" % game.proc.returncode)
        game.close()
        code = game.wait_exit(5)
        self.assertIsNotNone(code, "the game still runs 5 s after the window was asked to close")
        self.assertEqual(code, 0, "exit code after closing the window during play")
        self.assertEqual(game.stdout_text(), "", "stdout of a game closed during play")

    def check_missing_image(self, filename, expected):
        content = os.path.join(self.work, "content")
        shutil.copytree(os.path.join(CONTENT_DIR, "Content"), os.path.join(content, "Content"))
        os.remove(os.path.join(content, "Content", filename))
        game, menu = self.start_menu(cwd=content)
        time.sleep(0.5)
        self.assertTrue(game.running(), "the game exited on the menu without %s (code %r)"
                        % (filename, game.proc.returncode))
        self.assertEqual(game.stdout_text(), "", "stdout on the menu without %s" % filename)
        self.press_play(game)
        code = game.wait_exit(5)
        self.assertIsNotNone(code, "the game still runs 5 s after PLAY without %s" % filename)
        self.assertEqual(code, 0, "exit code after PLAY without %s" % filename)
        out = game.stdout_text()
        want = "\n".join(expected) + "\n"
        self.assertEqual(out, want, "stdout after PLAY without %s" % filename)

    @keeps_artifacts_on_failure
    def test_missing_small_clock_image_reported_when_play_starts(self):
        self.check_missing_image("smallclock.png", [
            "Could not load file from: Content/smallclock.png",
            "Could not load image: Small clock",
        ])

    @keeps_artifacts_on_failure
    def test_missing_clock_hand_image_reported_when_play_starts(self):
        self.check_missing_image("clockhand.png", [
            "Could not load file from: Content/clockhand.png",
            "Could not load image: Clock hand",
        ])




if __name__ == "__main__":
    sys.exit(e2ecase.main(sys.modules[__name__]))
