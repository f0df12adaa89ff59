#!/usr/bin/python3
"""Random play for a long while: the game must end with exit code 0 and keep its memory level.

    /usr/bin/python3 tools/soak.py [--bin build/zorvane] [--seconds 600] [--seed 1]

On a private Xvfb it presses PLAY, moves, turns the wheel, fires, holds Ctrl, presses Escape
and Return at random, so the run goes through many games, losses and returns to the menu. It
reads the resident memory after the first minute and at the end; more than 5 % growth, or any
exit code but 0 after the close request, fails the run (exit 1).
"""
import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import Xvfb  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", default="build/zorvane")
    parser.add_argument("--seconds", type=float, default=600)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    game_bin = os.path.abspath(args.bin)
    with Xvfb() as x:
        game = x.start([game_bin], cwd=os.path.dirname(game_bin))
        game.wait_drawn()
        start = time.monotonic()
        first = None
        actions = 0
        while time.monotonic() - start < args.seconds:
            if first is None and time.monotonic() - start > min(60, args.seconds / 2):
                first = game.rss_mib()
            choice = rng.random()
            if choice < 0.3:
                game.move(rng.randrange(800), rng.randrange(600))
            elif choice < 0.45:
                game.move(400, 300)  # PLAY on the menu, a shot from the middle in play
                game.click(rng.choice([1, 3]))
            elif choice < 0.6:
                game.wheel(rng.randint(-3, 3))
            elif choice < 0.7:
                game.tap(rng.choice(["Control_L", "Control_R"]))
            elif choice < 0.75:
                game.tap("Escape")
            elif choice < 0.8:
                game.tap("Return")
            else:
                game.held(rng.randint(1, 30))
            actions += 1
        last = game.rss_mib()
        game.close()
        code = game.wait_exit(60)
    growth = (last - first) / first
    print("soak: %d actions in %.0f s, seed %d; resident %.1f MiB at first, %.1f MiB at the end "
          "(%+.1f %%); exit code %d" % (actions, args.seconds, args.seed, first, last,
                                        100 * growth, code))
    return 0 if code == 0 and growth <= 0.05 else 1


if __name__ == "__main__":
    sys.exit(main())
