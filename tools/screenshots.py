#!/usr/bin/python3
"""Takes the README's screenshots from the real game, on a private Xvfb.

    /usr/bin/python3 tools/screenshots.py [--bin build/zorvane] [--content-dir build] [--out docs/screenshots]

Writes menu.png (the title menu), play.png (a game under way: a few bills, the clock turned,
a small clock in flight, one bill already paid) and gameover.png (a lost game). Needs what the
end-to-end tests need: Xvfb, xwd and python3-xlib (Debian's /usr/bin/python3 has it).
One run takes about a minute: the game-over picture waits for five bills to fall out.
"""

import argparse
import os
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

PLAY = (400, 300)
FAR_AWAY = (20, 20)
FIRST_BILL_X = 277       # the first bill of a run: "07:30" at x=277
FIELD_TOP, FIELD_BOTTOM = 108, 485  # between the score panel and the player's clock
HOLD = 0.1               # input is read once per frame: hold buttons over a few frames


def say(text):
    print("screenshots: " + text, flush=True)


def gold_centre(img, y0, y1):
    """Centre of the gold (clock rim) pixels between rows y0 and y1, or None."""
    w, rgb = img.width, img.rgb
    xs, ys = [], []
    for y in range(y0, y1, 2):
        row = rgb[y * w * 3:(y + 1) * w * 3]
        for k, (r, g, b) in enumerate(zip(row[0::6], row[1::6], row[2::6])):
            if r - b >= 70 and r >= 120 and g >= 60:
                xs.append(2 * k)
                ys.append(y)
    if len(xs) < 15:
        return None
    return sum(xs) / len(xs), sum(ys) / len(ys)


def digit_columns(img):
    """x centres of the bills' digits (near-black pixels) on the field, roughly."""
    w, rgb = img.width, img.rgb
    cols = set()
    for y in range(0, FIELD_BOTTOM):
        row = rgb[y * w * 3:(y + 1) * w * 3]
        for x in range(0, w, 3):
            if (y >= FIELD_TOP or x > 262) and max(row[3 * x:3 * x + 3]) < 60:
                cols.add(x)
    centres = []
    for x in sorted(cols):
        if centres and x - centres[-1][-1] <= 40:
            centres[-1].append(x)
        else:
            centres.append([x])
    return [(c[0] + c[-1]) / 2 for c in centres]



def take(binary, content_dir, out_dir):
    with harness.XServer() as xs:
        with xs.launch(binary, cwd=content_dir) as game:
            game.wait_for_window()
            game.wait_for_frame()
            game.move(*FAR_AWAY)  # Xvfb starts with the pointer over the PLAY bill
            time.sleep(0.3)
            menu = game.wait_stable()
            say("wrote " + menu.save_png(os.path.join(out_dir, "menu.png")))

            game.move(*PLAY)
            time.sleep(0.3)
            game.click(1, hold=HOLD)
            started = time.monotonic()
            harness.wait_until(lambda: gold_centre(game.screenshot(), 485, 600), 5,
                               what="the game to start")

            # pay the first bill: 12:00 turned back 18 quarters is 7:30
            game.move(FIRST_BILL_X, 300)
            game.wheel(-18, gap=0.05)
            time.sleep(max(0.0, started + 2.5 - time.monotonic()))
            game.click(1, hold=HOLD)
            # then another time on the dial, and wait for three bills on the field
            time.sleep(1.0)
            game.wheel(-5, gap=0.05)  # 6:15
            time.sleep(max(0.0, started + 14.7 - time.monotonic()))

            # fire from a column with no bill, and catch the small clock half-way up
            bills = digit_columns(game.screenshot())
            x = max(range(120, 681, 10), key=lambda c: min([abs(c - b) for b in bills] or [800]))
            game.move(x, 300)
            time.sleep(0.2)
            game.click(1, hold=HOLD)
            fired = time.monotonic()
            play = None
            while time.monotonic() - fired < 2.0:
                shot = game.screenshot()
                flying = gold_centre(shot, 0, FIELD_BOTTOM)
                if flying and flying[1] < 320:
                    play = shot
                    break
                time.sleep(0.02)
            if play is None:
                raise harness.HarnessError("no small clock seen in flight after firing")
            say("wrote " + play.save_png(os.path.join(out_dir, "play.png")))

            # leave the game alone until it is lost: the field stands still under the panel
            game.move(400, 300)
            state = {"last": game.screenshot()}

            def frozen():
                time.sleep(0.5)
                cur = game.screenshot()
                same = cur.same_as(state["last"])
                state["last"] = cur
                return cur if same else None

            say("waiting for the game to be lost (about half a minute)")
            over = harness.wait_until(frozen, 120, interval=0, what="the game to be over")
            say("wrote " + over.save_png(os.path.join(out_dir, "gameover.png")))

            game.close()
            code = game.wait_exit(5)
            if code != 0:
                raise harness.HarnessError("the game ended with %r after the close request" % code)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "zorvane"),
                        help="the game executable (default: build/zorvane)")
    parser.add_argument("--content-dir", default=None,
                        help="working directory holding Content/ (default: the executable's folder)")
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "screenshots"),
                        help="where the PNGs go (default: docs/screenshots)")
    args = parser.parse_args()
    binary = os.path.abspath(args.bin)
    content_dir = os.path.abspath(args.content_dir or os.path.dirname(binary))
    if not os.access(binary, os.X_OK):
        parser.error("not an executable: %s" % binary)
    if not os.path.isdir(os.path.join(content_dir, "Content")):
        parser.error("%s has no Content/ folder" % content_dir)
    os.makedirs(args.out, exist_ok=True)
    try:
        take(binary, content_dir, args.out)
    except harness.HarnessError as exc:
        say("failed: %s" % exc)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
