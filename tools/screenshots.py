#!/usr/bin/python3
"""Takes the README's screenshots by playing a real game on a private Xvfb.

    /usr/bin/python3 tools/screenshots.py [--bin build/zorvane] [--content-dir build]
                                          [--out docs/screenshots] [--measure] [-v]

It clicks PLAY and plays a real game. It finds every bill in the captures of the window and
knows its time from the game's random draws (see BillSequence); it steers the clock under the
lowest bill, turns the wheel one notch per frame, reads the hands back from the capture (the
minute hand is the one with the red tip) and fires. It writes

    menu.png      the title menu
    play.png      a small clock about to meet a bill with its own time
    pace.png      a shot at the faster pace after the tenth point, several bills on the field
    gameover.png  the game lost at the score it reached (the last bills are let through, with
                  none under the score panel when the field stops)

and prints the contrast figures of docs/art.md, measured in its own captures. A run takes about
two minutes; every wait has a deadline. With --measure it only measures the menu and the first
bill, in a few seconds, with whatever pictures Content/ holds, and writes nothing.
Needs Xvfb, python3-xlib and python3-pil.
"""

import argparse
import colorsys
import math
import os
import signal
import sys
import time

TOOLS = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)

import driver  # noqa: E402
from driver import DriverError, wait_until  # noqa: E402
from PIL import Image  # noqa: E402

W, H = 800, 600
PANEL = (10, 10)       # the score panel's top-left corner
HIT_LINE = 480         # bills whose centre is below this line are not hit any more
RUN_DEADLINE = 300     # seconds for the whole game


VERBOSE = False


def say(text, detail=False):
    if VERBOSE or not detail:
        print("screenshots: " + text, flush=True)


# -- the bills' times ----------------------------------------------------------------------


def c_rand(seed):
    """The outputs of the GNU C library's rand() after srand(seed) (for seeds below 2**31, as
    calendar seconds are until 2038)."""
    r = [seed % 2**32]
    if r[0] == 0:
        r[0] = 1
    for i in range(1, 31):
        r.append(16807 * r[i - 1] % 2147483647)
    r += r[0:3]
    for i in range(34, 344):
        r.append((r[i - 31] + r[i - 3]) % 2**32)
    i = 344
    while True:
        r.append((r[i - 31] + r[i - 3]) % 2**32)
        yield r[i] >> 1
        i += 1


class BillSequence:
    """Which time each new bill shows.

    The game draws every bill from the C library's generator: rand() % 24 for the hour,
    15 * (rand() % 4) for the minute, rand() % 600 + 100 for the x of its centre; a bounce takes
    one rand() more. The first bill of the first game comes before any seeding (07:30 at x 277);
    the game then seeds with time(NULL) at the end of its loading. The seconds around the click
    on PLAY give a few candidate seeds; the x of each new bill on the screen tells which is right
    and how many draws bounces took, so the sequence follows the game even after a bad shot."""

    BOUNCES = 12  # bounces between two new bills that are still followed

    def __init__(self):
        self.tracks = None  # {seed: (generator, its outputs so far, index of the next bill)}
        self.first = self._draw(c_rand(1), [], 0)

    @staticmethod
    def _draw(gen, outs, at):
        while len(outs) < at + 3:
            outs.append(next(gen))
        return "%02d:%02d" % (outs[at] % 24, 15 * (outs[at + 1] % 4)), outs[at + 2] % 600 + 100

    def seeded(self, earliest, latest):
        self.tracks = {s: (c_rand(s), [], 0) for s in range(int(earliest) - 1, int(latest) + 2)}

    def upcoming(self, count):
        """The x of each of the next bills, as far as every seed still followed agrees and
        no bounce comes between."""
        xs = []
        for k in range(count):
            ks = {self._draw(g, outs, at + 3 * k)[1] for g, outs, at in self.tracks.values()}
            if len(ks) != 1:
                break
            xs.append(ks.pop())
        return xs

    def match(self, x, bounced):
        """(explained, time) of the new bill at x; the time is None while the seeds still
        followed disagree about it. Draws taken by bounces are looked for only if a small
        clock may have bounced since the last bill."""
        found = {}
        for seed, (gen, outs, at) in self.tracks.items():
            for skip in range(self.BOUNCES + 1 if bounced else 1):
                text, bx = self._draw(gen, outs, at + skip)
                if bx == x:
                    found[seed] = (gen, outs, at + skip + 3), text
                    break
        if not found:
            return False, None
        self.tracks = {seed: track for seed, (track, _) in found.items()}
        texts = {text for _, text in found.values()}
        return True, texts.pop() if len(texts) == 1 else None


# -- looking at the window -----------------------------------------------------------------


class Shot:
    """One capture of the window, with fast pixel access."""

    def __init__(self, image):
        self.image = image
        self.raw = image.tobytes()
        self.time = time.monotonic()

    def px(self, x, y):
        if 0 <= x < W and 0 <= y < H:
            i = (y * W + x) * 3
            return self.raw[i], self.raw[i + 1], self.raw[i + 2]
        return None


class Art:
    """The game's pictures, to find them in a capture."""

    def __init__(self, content_dir):
        def load(name):
            return Image.open(os.path.join(content_dir, "Content", name)).convert("RGBA")
        self.bill = load("moneybill_blank.png")
        self.bill_raw = self.bill.convert("RGB").tobytes()
        self.bw, self.bh = self.bill.size
        self.panel = load("largebill.png").size
        self.face = load("playerclock.png")
        self.small = load("smallclock.png")
        self.tile = load("moneybill.png").size
        # the player's clock stands with its centre here (a recoil may leave it a few pixels
        # higher); its x keeps this far from the edges
        self.clock_y = 625 - self.face.height
        self.margin = 600 - self.clock_y
        # brass of the small clock: the one opaque colour it has most of
        counts = {}
        for r, g, b, a in self.small.getdata():
            if a == 255 and r > g > b and r - b > 80:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
        self.small_brass = max(counts, key=counts.get)
        # sixteen points on the rim of the player's clock, outside the reach of its hands
        c, r = self.face.width // 2, self.face.width // 2 - 3
        self.face_ring = [(round(c + r * math.sin(a)), round(c - r * math.cos(a)))
                          for a in (k * math.pi / 8 for k in range(16))]

    def under_panel(self, x, y):
        return PANEL[0] <= x < PANEL[0] + self.panel[0] and PANEL[1] <= y < PANEL[1] + self.panel[1]

    def bills(self, shot):
        """Centres of the bills in the capture: drawn 1:1 at whole pixels, so their lower part
        matches the picture exactly wherever nothing lies on top (the score panel may)."""
        bw, bh, braw = self.bw, self.bh, self.bill_raw
        # distinctive stretches of rows: the ornament band, the serial numbers, the right rosette
        keys = [(bh - 30, 38, bw - 38), (bh - 10, 30, bw - 30), (bh - 26, bw - 34, bw - 8)]
        found = set()
        for ly, lx0, lx1 in keys:
            key = braw[(ly * bw + lx0) * 3:(ly * bw + lx1) * 3]
            for y in range(max(0, ly - bh // 2 - 10), H):
                row = shot.raw[y * W * 3:(y + 1) * W * 3]
                i = row.find(key)
                while i >= 0:
                    if i % 3 == 0:
                        found.add((i // 3 - lx0, y - ly))
                    i = row.find(key, i + 1)
        scored = []
        for x0, y0 in found:
            seen = same = 0
            for ly in range(60, bh - 5, 3):
                for lx in range(4, bw - 4, 3):
                    x, y = x0 + lx, y0 + ly
                    if 0 <= x < W and 0 <= y < H and not self.under_panel(x, y):
                        seen += 1
                        i = (ly * bw + lx) * 3
                        same += braw[i:i + 3] == shot.raw[(y * W + x) * 3:(y * W + x) * 3 + 3]
            if seen >= 100 and same >= 0.9 * seen:
                scored.append((same / seen, x0, y0))
        # the paper's fine pattern repeats, so a bill may also nearly match a few pixels off
        centres = []
        for _, x0, y0 in sorted(scored, reverse=True):
            if all(abs(x0 + bw // 2 - x) > 12 or abs(y0 + bh // 2 - y) > 12 for x, y in centres):
                centres.append((x0 + bw // 2, y0 + bh // 2))
        return sorted(centres, key=lambda c: -c[1])

    def clock_y_at(self, shot, x):
        """The y of the player's clock's centre when it stands at x, or None."""
        ring = [(fx - self.face.width // 2, fy - self.face.height // 2,
                 self.face.getpixel((fx, fy))[:3]) for fx, fy in self.face_ring]
        for cy in range(self.clock_y - 12, self.clock_y + 26):
            same = 0
            for dx, dy, want in ring:
                got = shot.px(x + dx, cy + dy)
                same += got is not None and max(abs(a - b) for a, b in zip(want, got)) <= 3
            if same >= 14:
                return cy
        return None

    def read_clock(self, shot, x, cy):
        """(hour 0-11, minute) that the hands of the clock centred at (x, cy) show, or None.
        The minute hand has a red tip; the hour hand is the other dark hand."""

        def along(deg, r):
            a = math.radians(deg)
            return shot.px(round(x + r * math.sin(a)), round(cy - r * math.cos(a)))

        def red(p):
            return p is not None and p[0] > 170 and p[1] < 100 and p[2] < 100

        def dark(p):
            return p is not None and max(p) < 90

        reds = [sum(red(along(q * 90, r)) for r in (33, 35, 37)) for q in range(4)]
        q = max(range(4), key=lambda k: reds[k])
        if reds[q] < 2 or sorted(reds)[-2] > 0:
            return None
        minute = 15 * q
        score = {}
        for hour in range(12):
            deg = hour * 30 + minute / 2
            score[hour] = sum(dark(along(deg, r)) for r in (8, 11, 14, 17, 20))
        apart = [h for h in range(12) if abs((h * 30 + minute / 2 - q * 90 + 180) % 360 - 180) > 12]
        best = max(apart, key=lambda h: score[h])
        if score[best] >= 4:
            return best, minute
        near = [h for h in range(12) if h not in apart]
        best = max(near, key=lambda h: score[h])
        return (best, minute) if score[best] >= 4 else None

    def small_clock_top(self, shot, x, y0, y1):
        """The top row of a small clock between rows y0 and y1 near column x, or None."""
        brass = bytes(self.small_brass)
        for y in range(max(0, y0), min(H, y1)):
            row = shot.raw[(y * W + max(0, x - 24)) * 3:(y * W + min(W, x + 24)) * 3]
            i = row.find(brass)
            while i >= 0:
                if i % 3 == 0:
                    return y
                i = row.find(brass, i + 1)
        return None


# -- contrast ------------------------------------------------------------------------------


def luminance(p):
    def channel(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    return 0.2126 * channel(p[0]) + 0.7152 * channel(p[1]) + 0.0722 * channel(p[2])


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def hue(p):
    return round(colorsys.rgb_to_hsv(*(c / 255.0 for c in p))[0] * 360)


def median(pixels):
    pixels = sorted(pixels, key=luminance)
    return pixels[len(pixels) // 2]


def contrast_figures(art, menu, field, bills):
    """WCAG 2 contrast ratios, from the menu capture (one whole backdrop tile clear of the
    title, the button and the credit line) and a play capture with its bills."""
    tw, th = art.tile
    top = (H // th - 2) * th  # a tile row below the PLAY button
    tile = [menu.px(x, y) for y in range(top, top + th) for x in range(0, tw)]
    ground, darkest = median(tile), min(tile, key=luminance)
    lines = ["backdrop: darkest line %s on its ground %s (hue %d): %.2f:1"
             % (darkest, ground, hue(ground), contrast(darkest, ground))]
    bw, bh = art.bw, art.bh
    for cx, cy in bills:
        x0, y0 = cx - bw // 2, cy - bh // 2
        if y0 < PANEL[1] + art.panel[1] + 12 or y0 + bh > H - 12 or x0 < 12 or x0 + bw > W - 12:
            continue
        # the time display: the cream field in the top half of the bill
        shown = [field.px(x0 + x, y0 + y)
                 for y in range(8, bh // 2 + 3) for x in range(19, bw - 14)]
        digits = median([p for p in shown if luminance(p) < 0.05])
        face = median([p for p in shown if luminance(p) >= 0.5])
        around = [field.px(x, y) for y in range(y0 - 12, y0 + bh + 12)
                  for x in range(x0 - 12, x0 + bw + 12)
                  if not (x0 - 3 <= x < x0 + bw + 3 and y0 - 3 <= y < y0 + bh + 3)]
        back = median(around)
        edge = median([field.px(x0 + x, y0 + y) for x in range(8, bw - 8) for y in (1, bh - 2)])
        lines.append("bill at %d,%d: digits %s on its face %s (hue %d): %.2f:1" % (
            cx, cy, digits, face, hue(face), contrast(digits, face)))
        lines.append("bill at %d,%d: face on the backdrop around it %s (hue %d): %.2f:1;"
                     " the bill's edge %s (hue %d) on it: %.2f:1" % (
                         cx, cy, back, hue(back), contrast(face, back), edge, hue(edge),
                         contrast(edge, back)))
        return lines
    return None


# -- playing -------------------------------------------------------------------------------


class Bill:
    def __init__(self, x, y, text, now):
        self.x, self.y, self.text, self.seen = x, y, text, now
        self.first_y, self.first_seen = y, now

    @property
    def hour(self):
        return int(self.text[:2]) % 12

    @property
    def minute(self):
        return int(self.text[3:])


class Player:
    def __init__(self, game, art, out_dir):
        self.game, self.art, self.out_dir = game, art, out_dir
        self.sequence = BillSequence()
        self.first_pending = True  # the game's first bill is drawn before the seeding
        self.last_spawn = None
        self.bills = []
        self.gone = []  # bills that left the list lately, in case one shows again
        self.bounces_until = 0.0  # a small clock that missed may bounce off bills till then
        self.score = 0
        self.lost = 0
        self.dial = None      # (hour, minute) the hands show; None before the first turn
        self.last_shot = 0.0
        self.pointer_x = None
        self.speed = 60.0     # the bills' fall, pixels per second, measured as they go
        self.spawn_gap = 5.0  # seconds between two bills at the score reached
        self.deadline = time.monotonic() + RUN_DEADLINE
        self.saved = {}

    def save(self, name, shot):
        path = os.path.join(self.out_dir, name)
        shot.image.save(path)
        self.saved[name] = shot
        say("wrote %s (score %d)" % (os.path.relpath(path), self.score))

    def check_time(self):
        if time.monotonic() > self.deadline:
            raise DriverError("the game took longer than %d s" % RUN_DEADLINE)

    # -- the field

    def look(self):
        """Captures the window and brings the list of bills up to date."""
        shot = Shot(self.game.capture())
        now = shot.time
        seen = self.art.bills(shot)
        left = list(self.bills)
        for x, y in sorted(seen, key=lambda c: c[1]):
            # a frame that came late moves the bills further in one step: allow for a few
            def follows(b):
                return b.x == x and b.y - 2 <= y <= b.y + 30 + 300 * (now - b.seen)
            same = [b for b in left if follows(b)]
            back = [b for b in self.gone if follows(b)]
            if back and not same:
                # not seen for a moment (under the score panel, say), then seen again
                self.gone.remove(back[0])
                self.bills.append(back[0])
                if back[0].y > HIT_LINE:
                    self.lost -= 1
                same = back[:1]
                left.append(back[0])
            if same:
                bill = same[0]
                left.remove(bill)
                if now - bill.first_seen > 1.0 and y > bill.first_y:
                    self.speed = (y - bill.first_y) / (now - bill.first_seen)
                bill.x, bill.y, bill.seen = x, y, now
                continue
            if self.first_pending and x == self.sequence.first[1]:
                text = self.sequence.first[0]
            else:
                explained, text = self.sequence.match(x, now < self.bounces_until)
                if not explained:
                    shot.image.save(os.path.join(self.out_dir, "unexplained.png"))
                    raise DriverError(
                        "a new bill at %d,%d that no candidate seed explains (on the field %s,"
                        " gone %s; unexplained.png)" % (x, y, [(b.x, b.y) for b in self.bills],
                                                        [(b.x, b.y) for b in self.gone]))
            self.first_pending = False
            self.bills.append(Bill(x, y, text, now))
            self.last_spawn = now - y / self.speed
            say("new bill %s at x %d" % (text, x), True)
        self.gone = [b for b in self.gone if now - b.seen < 3]
        for bill in left:
            # a bill not seen for a moment is gone: shot, or out of the bottom
            if now - bill.seen > 0.15:
                self.bills.remove(bill)
                self.gone.append(bill)
                if bill.y > HIT_LINE:
                    self.lost += 1
                    say("bill %s fell out (%d lost)" % (bill.text, self.lost), True)
        return shot

    def panel_clear(self, when):
        """Whether no bill will lie under the score panel at the time when, if none is shot
        before: from the bills on the field and the bills still to come (a new bill may lie
        under the panel before it can be seen)."""
        pw, ph = self.art.panel
        reach = PANEL[0] + pw + self.art.bw // 2       # a bill centred left of this ...
        below = PANEL[1] + ph + 4 + self.art.bh // 2   # ... and above this lies under it
        for bill in self.bills:
            if bill.x < reach and bill.y + self.speed * (when - bill.seen) < below:
                return False
        if self.last_spawn is None:
            return False
        coming = self.sequence.upcoming(4)
        for k in range(4):
            spawn = self.last_spawn + (k + 1) * self.spawn_gap
            if spawn > when + 0.3:
                return True
            if k >= len(coming):
                return False  # a bill comes whose x is not known
            if coming[k] < reach and self.speed * (when - spawn) < below + 0.3 * self.speed:
                return False
        return False

    # -- the clock

    def steer(self, x):
        x = max(self.art.margin, min(W - self.art.margin, x))
        if x != self.pointer_x:
            self.game.move(x, 300)
            self.pointer_x = x
        return x

    def at_rest(self, x):
        """(capture, y) with the clock standing still at x, or None if not within a second."""
        last = {}

        def resting():
            shot = self.look()
            cy = self.art.clock_y_at(shot, x)
            if cy is not None and cy == last.get("y"):
                return shot, cy
            last["y"] = cy
            self.game.wait_frames(2, 5)
            return None
        try:
            return wait_until(resting, 1, "the clock at rest at x %d" % x, 0)
        except DriverError:
            return None

    def set_time(self, hour, minute, x):
        """Turns the wheel until the hands show hour:minute, read back from the window."""
        for _ in range(3):
            if self.dial is None:  # the game's twelve o'clock becomes 0 after the first turn
                self.game.wheel(1)
                self.game.wheel(-1)
                self.dial = (0, 0)
            now = self.dial[0] * 4 + self.dial[1] // 15
            want = hour * 4 + minute // 15
            turn = (want - now) % 48
            if turn > 24:
                turn -= 48
            self.game.wheel(turn)
            self.dial = (hour, minute)
            rest = self.at_rest(x)
            if rest is None:
                say("the clock at x %d is not to be seen" % x)
                return False
            shown = self.art.read_clock(rest[0], x, rest[1])
            if shown == (hour, minute):
                return True
            say("the hands show %s, not %d:%02d" % (shown, hour, minute))
            if shown is None:
                return False
            self.dial = shown
        return False

    def fire(self):
        wait_until(lambda: time.monotonic() - self.last_shot > 0.55, 1, "the cool-down")
        self.game.press(1)
        self.game.held(2)  # the game reads the button once a frame
        self.game.release(1)
        self.last_shot = time.monotonic()

    # -- one shot

    def aim(self, target):
        """A clock x under the target with no other live bill in the way below it."""
        reach = self.art.bw // 2 + self.art.small.width // 2 + 4
        blockers = [b for b in self.bills if b is not target and target.y < b.y < HIT_LINE + 30]
        # and no bill low enough to lie over the clock's face while its hands are read
        cover = self.art.bw // 2 + self.art.face.width // 2 + 2
        low = [b for b in self.bills if b.y + self.art.bh // 2 > self.art.clock_y - 45]
        for dx in sorted(range(-84, 85, 4), key=abs):
            x = target.x + dx
            if not self.art.margin <= x <= W - self.art.margin:
                continue
            if (all(abs(b.x - x) > reach for b in blockers)
                    and all(abs(b.x - x) > cover for b in low)):
                return x
        return None

    def shoot(self, target, keep=None):
        """Sets the clock to the target's time under it and fires. keep(shot, gap) says whether
        a capture in flight, the small clock gap pixels below the bill, is worth keeping.
        Returns (hit, the last capture kept)."""
        x = self.aim(target)
        if x is None:
            say("no way to %s at x %d" % (target.text, target.x))
            return False, None
        x = self.steer(x)
        if not self.set_time(target.hour, target.minute, x):
            return False, None
        if target not in self.bills or target.y > HIT_LINE - 40:
            say("too late for %s" % target.text)
            return False, None
        self.fire()
        # until it is known to have hit, the small clock may bounce off a bill on its way up
        # (each bounce is a draw); it crosses the field in two seconds
        bounces_before, self.bounces_until = self.bounces_until, time.monotonic() + 3
        kept = None
        gone = time.monotonic() + 2.5
        missing = None
        while time.monotonic() < gone:
            shot = self.look()
            if target in self.bills:
                missing = None
            elif missing is None:
                missing = shot.time
            elif shot.time - missing > 0.25:  # gone for good, not lost from sight a moment
                if target.y <= HIT_LINE:
                    self.score += 1
                    if self.score % 10 == 0:
                        self.spawn_gap /= {10: 1.5, 20: 1.3}.get(self.score, 1.2)
                    say("hit %s, score %d" % (target.text, self.score), True)
                    self.bounces_until = bounces_before
                    return True, kept
                return False, None
            if keep is not None:
                bottom = target.y + self.art.bh // 2
                top = self.art.small_clock_top(shot, x, bottom, HIT_LINE + 10)
                if top is not None and keep(shot, top - bottom):
                    kept = shot
        say("missed %s" % target.text)
        return False, None

    def lowest(self, above):
        """The lowest bill of known time whose centre is between above and the line."""
        live = [b for b in self.bills if b.text and above <= b.y < HIT_LINE - 60]
        return max(live, key=lambda b: b.y, default=None)

    def play(self):
        """Plays until both pictures of play are taken: play.png before the tenth point,
        pace.png after it, each the moment a small clock is about to meet its bill."""
        self.steer(W // 2)
        # play.png: a small clock about to meet its bill; pace.png: the same later on
        while "pace.png" not in self.saved:
            self.check_time()
            self.look()
            phase_pace = self.score >= 10
            # before the tenth point shoot each bill a third of the way down, with a long flight
            # to watch; at the faster pace let them gather and shoot the lowest one late
            target = self.lowest(330 if phase_pace else 200)
            if target is None:
                self.game.wait_frames(3, 5)
                continue
            name = None
            if "play.png" not in self.saved and 3 <= self.score < 10:
                name = "play.png"
            elif phase_pace and len([b for b in self.bills if 0 < b.y < H]) >= 3:
                name = "pace.png"
            best = {}

            def keep(capture, gap):
                if 4 <= gap <= 40 and self.panel_clear(capture.time):
                    if not best or gap < best["gap"]:
                        best.update(gap=gap)
                        return True
                return False

            hit, kept = self.shoot(target, keep if name else None)
            if hit and kept is not None and name:
                self.save(name, kept)

    def lose(self):
        """Lets the bills through until the game is over. The fifth bill out ends it and the
        field stands still from then on, so that bill is let through only when no bill will lie
        under the score panel at that moment; otherwise it is shot like the others."""
        self.steer(self.art.margin)
        say("letting the bills through at score %d" % self.score)
        last = None
        freed = set()
        while True:
            self.check_time()
            shot = self.look()
            if self.bills and last is not None and last.raw == shot.raw:
                # the field stands still: in a live game bills move in every frame
                break
            last = shot
            out = self.lost + len([b for b in self.bills if b.y > HIT_LINE])
            live = [b for b in self.bills if b.y <= HIT_LINE]
            if out == 4 and live:
                fifth = max(live, key=lambda b: b.y)
                if fifth.y > 300 and id(fifth) not in freed:
                    leaves = shot.time + (H + self.art.bh // 2 + 1 - fifth.y) / self.speed
                    if self.panel_clear(leaves):
                        freed.add(id(fifth))
                        say("the last bill out will be %s" % fifth.text)
                    elif fifth.text and fifth.y < HIT_LINE - 60:
                        self.shoot(fifth)
                        self.steer(self.art.margin)
                        continue
            self.game.wait_frames(10, 5)
        self.save("gameover.png", shot)


def take(binary, content_dir, out_dir, measure_only):
    art = Art(content_dir)
    started = time.monotonic()
    with driver.Xvfb() as x:
        game = x.start([binary], cwd=content_dir)
        menu = game.wait_drawn()
        game.focus()
        game.move(W - 40, 40)  # the pointer starts over PLAY, which shows it hovered
        game.wait_frames(3, 5)
        menu = Shot(game.capture())
        if not measure_only:
            menu.image.save(os.path.join(out_dir, "menu.png"))
            say("wrote %s" % os.path.relpath(os.path.join(out_dir, "menu.png")))

        player = Player(game, art, out_dir)
        game.move(W // 2, H // 2)
        earliest = time.time()
        game.press(1)
        game.held(2)
        game.release(1)
        # the game seeds its bills with the calendar second at the end of its loading; the
        # field is there once a bill is (the player's clock may be drawn otherwise)
        wait_until(lambda: art.bills(Shot(game.capture())), 10, "the game to start")
        player.sequence.seeded(earliest, time.time())
        if measure_only:
            # the first bill, once it is clear of the score panel
            figures = wait_until(
                lambda: contrast_figures(art, menu, *(lambda s: (s, art.bills(s)))(
                    Shot(game.capture()))), 15, "a bill clear of the score panel")
        else:
            player.play()
            player.lose()
            play = player.saved["play.png"]
            figures = contrast_figures(art, menu, play, art.bills(play))
        for line in figures or ["no bill to measure in play.png"]:
            say(line)
        game.close()
        code = game.wait_exit(20)
        if code != 0:
            raise DriverError("the game ended with %r after the close request" % code)
    say("done in %.0f s" % (time.monotonic() - started))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "zorvane"),
                        help="the game executable (default: build/zorvane)")
    parser.add_argument("--content-dir", default=None,
                        help="working directory holding Content/ (default: the executable's folder)")
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "screenshots"),
                        help="where the PNGs go (default: docs/screenshots)")
    parser.add_argument("-v", "--verbose", action="store_true", help="tell every bill and shot")
    parser.add_argument("--measure", action="store_true",
                        help="only measure the contrast figures (on the menu and the first bill),"
                             " with any pictures in Content/; writes nothing")
    args = parser.parse_args()
    global VERBOSE
    VERBOSE = args.verbose
    binary = os.path.abspath(args.bin)
    content_dir = os.path.abspath(args.content_dir or os.path.dirname(binary))
    if not os.access(binary, os.X_OK):
        parser.error("not an executable: %s" % binary)
    if not os.path.isdir(os.path.join(content_dir, "Content")):
        parser.error("%s has no Content/ folder" % content_dir)
    os.makedirs(args.out, exist_ok=True)
    # a termination unwinds like an error, so the game and Xvfb are ended
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        take(binary, content_dir, args.out, args.measure)
    except DriverError as exc:
        say("failed: %s" % exc)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
