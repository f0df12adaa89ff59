#!/usr/bin/python3
"""Runs the real game under Valgrind's memcheck through a scripted session on a private Xvfb.

    /usr/bin/python3 tools/memcheck.py [--bin build/zorvane] [--log memcheck.log]

The session: the menu; PLAY; the wheel, shots with both buttons, Ctrl; Escape to the menu; PLAY
again; the close request. It passes (exit 0) when Valgrind finds no error, no definitely lost
block beyond tools/valgrind/zorvane.supp (which holds only GL driver and loader noise) and the
game ends with exit code 0. Mesa's softpipe draws: under Valgrind it starts much sooner than
llvmpipe, whose shader compiler would run under Valgrind too. Takes a few minutes.
"""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import Xvfb  # noqa: E402

SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "valgrind", "zorvane.supp")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", default="build/zorvane")
    parser.add_argument("--log", default="memcheck.log")
    args = parser.parse_args()
    game_bin = os.path.abspath(args.bin)
    log = os.path.abspath(args.log)
    command = ["valgrind", "--tool=memcheck", "--leak-check=full", "--errors-for-leak-kinds=definite",
               "--error-exitcode=99", "--suppressions=" + SUPPRESSIONS, "--log-file=" + log, game_bin]
    with Xvfb() as x:
        game = x.start(command, cwd=os.path.dirname(game_bin), env={"GALLIUM_DRIVER": "softpipe"})
        for _ in range(2):
            menu = game.wait_drawn(300)
            game.move(20, 20)
            game.held()
            game.move(400, 300)
            game.click()
            if game.wait_change(menu, 120) is None:
                sys.exit("memcheck: PLAY did not start a game")
            game.wheel(-3)
            game.click(1)
            game.click(3)
            game.tap("Control_L")
            game.tap("Escape")
        game.close()
        code = game.wait_exit(600)
    with open(log) as f:
        report = f.read()
    summary = re.search(r"ERROR SUMMARY: (\d+) errors", report)
    lost = re.search(r"definitely lost: ([\d,]+) bytes", report)
    print("memcheck: exit code %d; %s; definitely lost: %s bytes; log in %s"
          % (code, summary.group(0) if summary else "no summary", lost.group(1) if lost else "0", log))
    return 0 if code == 0 and summary and summary.group(1) == "0" else 1


if __name__ == "__main__":
    sys.exit(main())
