#!/usr/bin/python3
"""Where a frame's instructions go: the game under callgrind, on the menu and in busy play.

Runs the game under `valgrind --tool=callgrind` on a private Xvfb (tests/e2e/harness.py),
zeroes the counters (callgrind_control) at the start of each measured stretch and dumps them at
its end:

  menu     pointer still, away from the PLAY bill
  switch   the frame(s) around the PLAY click, which load the game's content
  play     busy play: pointer sweeping, left button held, wheel turning (after a warm-up),
           the input paced by frames as at full speed

Instruction counts are repeatable where times are not, so this is the tool for comparing two
builds of the game. For each stretch it prints instructions per frame (frames = calls of
sf::Window::display), split into

  own      the program's own work on the CPU: game code, SFML's CPU side (sprites, texts,
           fonts), the C/C++ runtime and X input queries it calls, i.e. everything in the frame
           loop but the two parts below
  gl       inside the OpenGL calls SFML makes for the draw calls (Mesa: state, vertex setup)
  present  inside sf::Window::display: the buffer swap (llvmpipe's flush, the copy to the X
           server) and the frame limiter
  raster   the rest: llvmpipe's rasteriser threads, running its JIT-compiled shaders over the
           pixels

then the costliest functions outside the driver, and call counts per frame of a few telling
functions (allocations, X round trips, draw calls).

  /usr/bin/python3 tools/perf/frame_profile.py --bin build/zorvane --content-dir build

Under callgrind the game runs at a few frames per second; buttons and keys are held long
enough for a frame to see them. Bills still fall by real time, so a play window must end
before the first game is lost (about 29 s after PLAY).
"""

import argparse
import collections
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources it imports
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import measure  # noqa: E402  (also makes tests/e2e/harness.py importable)
import harness  # noqa: E402
import Xlib.X as X  # noqa: E402
from Xlib.ext import xtest  # noqa: E402

FRAME_FN = "sf::Window::display()"
LOOP_FN = "RunLoop(sf::RenderWindow&)"  # RunFrame is inlined into it

# Objects of the OpenGL driver and of the presentation path.
GL_OBJECTS = re.compile(r"(libGL|libGLX|libglapi|libgallium|swrast_dri|_dri\.so|libLLVM|libEGL|"
                        r"libdrm|libxshmfence)")

# Functions whose calls per frame are worth seeing.
COUNTED = [
    ("malloc", re.compile(r"^(malloc|operator new\(unsigned long\))$")),
    ("free", re.compile(r"^(free|operator delete\(void\*.*\))$")),
    ("sf::RenderTarget::draw (one per drawable)", re.compile(r"^sf::RenderTarget::draw\(sf::Drawable const&")),
    ("sf::RenderTarget::drawPrimitives (a glDrawArrays each)",
     re.compile(r"^sf::RenderTarget::drawPrimitives\(")),
    ("sf::Text::ensureGeometryUpdate", re.compile(r"^sf::Text::ensureGeometryUpdate")),
    ("sf::String from std::string", re.compile(r"^sf::String::String\(std::.*basic_string")),
    ("std::locale::locale()", re.compile(r"^std::locale::locale\(\)$")),
    ("XQueryPointer (round trip)", re.compile(r"^XQueryPointer$")),
    ("XQueryKeymap (round trip)", re.compile(r"^XQueryKeymap$")),
    ("XDefineCursor (cursor shown/hidden)", re.compile(r"^XDefineCursor$")),
    ("XFlush", re.compile(r"^XFlush$")),
]


class Profile:
    """One callgrind dump: exclusive cost per function, and the calls between functions."""

    def __init__(self, path):
        self.path = path
        self.exclusive = collections.Counter()      # fn -> Ir
        self.object_of = {}                          # fn -> object path
        self.edges = collections.Counter()           # (caller fn, callee fn) -> inclusive Ir
        self.calls = collections.Counter()           # (caller fn, callee fn) -> calls
        self.total = 0
        self._parse()

    def _parse(self):
        names = {"ob": {}, "fl": {}, "fn": {}}
        kinds = {"ob": "ob", "cob": "ob", "fl": "fl", "fi": "fl", "fe": "fl", "cfi": "fl",
                 "cfl": "fl", "fn": "fn", "cfn": "fn"}
        ob = fn = cob = cfn = None
        pending_call = None
        with open(self.path, errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line:
                    continue
                c = line[0]
                if c.isdigit() or c in "+-*":
                    parts = line.split()
                    ir = int(parts[1]) if len(parts) > 1 else 0
                    if pending_call is not None:
                        self.edges[(fn, pending_call[0])] += ir
                        self.calls[(fn, pending_call[0])] += pending_call[1]
                        pending_call = None
                    else:
                        self.exclusive[fn] += ir
                        self.total += ir
                    continue
                key, _, value = line.partition("=")
                if key in kinds:
                    space = names[kinds[key]]
                    m = re.match(r"\((\d+)\)(?: (.*))?$", value)
                    if m:
                        if m.group(2) is not None:
                            space[m.group(1)] = m.group(2)
                        value = space.get(m.group(1), value)
                    value = re.sub(r"'\d+$", "", value)  # recursion levels: one function
                    if key == "ob":
                        ob = value
                    elif key == "fn":
                        fn = value
                        self.object_of.setdefault(fn, ob)
                    elif key == "cob":
                        cob = value
                    elif key == "cfn":
                        cfn = value
                        self.object_of.setdefault(cfn, cob or ob)
                        cob = None
                elif key == "calls":
                    pending_call = (cfn, int(value.split()[0]))

    def calls_to(self, pattern, callers):
        """Calls per pattern-matching callee made from the functions in ``callers``."""
        return sum(n for (caller, callee), n in self.calls.items()
                   if caller in callers and pattern.search(callee or "")
                   and not pattern.search(caller or ""))

    def inclusive(self, name):
        """Cost of ``name`` and everything it called (calls from itself not counted twice)."""
        return self.exclusive[name] + sum(ir for (caller, callee), ir in self.edges.items()
                                          if caller == name and callee != name)

    def is_gl(self, fn):
        # Code without an object is llvmpipe's: its JIT-compiled shaders and GL dispatch stubs.
        obj = self.object_of.get(fn) or "???"
        return obj == "???" or bool(GL_OBJECTS.search(obj))


RUNTIME_OBJECTS = re.compile(r"/(libc\.so|libstdc\+\+|libm\.so|libgcc_s|ld-linux|libpthread)")


def frame_functions(profile):
    """Functions run by the frame loop outside display() and the GL driver: the program's own
    side of a frame (display() and GL functions themselves are the boundary, not included)."""
    children = collections.defaultdict(set)
    for (caller, callee) in profile.edges:
        children[caller].add(callee)
    root = LOOP_FN if LOOP_FN in children else "main"  # the floor's loop is in its main()
    seen = {root}
    todo = [root]
    while todo:
        for callee in children[todo.pop()]:
            if callee in seen or callee == FRAME_FN or profile.is_gl(callee):
                continue
            seen.add(callee)
            todo.append(callee)
    return seen


def split(profile, frames):
    """Per-frame Ir: own / gl / present / raster (see the module's text)."""
    own_side = frame_functions(profile)
    own = 0
    gl = 0
    for fn in own_side:
        if not RUNTIME_OBJECTS.search(profile.object_of.get(fn) or ""):
            own += profile.exclusive[fn]
    for (caller, callee), ir in profile.edges.items():
        if caller not in own_side or RUNTIME_OBJECTS.search(profile.object_of.get(caller) or ""):
            continue
        if profile.is_gl(callee):
            gl += ir
        elif RUNTIME_OBJECTS.search(profile.object_of.get(callee) or ""):
            own += ir
    present = profile.inclusive(FRAME_FN)
    rest = profile.total - own - gl - present
    return {"total": profile.total / frames, "own": own / frames, "gl": gl / frames,
            "present": present / frames, "raster": rest / frames}


def own_functions(profile, frames, top):
    """The costliest functions on the program's own side of a frame, exclusive per frame; the
    C/C++ runtime (shared with the driver) is given as what the program's calls into it cost."""
    own_side = frame_functions(profile)
    rows = []
    runtime = collections.Counter()
    for fn in own_side:
        obj = profile.object_of.get(fn) or "?"
        if RUNTIME_OBJECTS.search(obj):
            continue
        rows.append((profile.exclusive[fn] / frames, fn, os.path.basename(obj)))
    for (caller, callee), ir in profile.edges.items():
        if (caller in own_side and not RUNTIME_OBJECTS.search(profile.object_of.get(caller) or "")
                and RUNTIME_OBJECTS.search(profile.object_of.get(callee) or "")):
            runtime[callee] += ir
    for fn, ir in runtime.items():
        rows.append((ir / frames, fn + "  (called from the program's side, inclusive)",
                     os.path.basename(profile.object_of.get(fn) or "?")))
    rows.sort(reverse=True)
    return rows[:top]


INCLUSIVE = [
    "MenuScene::Update(sf::RenderWindow&)", "MenuScene::Draw(sf::RenderWindow&)",
    "MenuScene::DrawOutlined(sf::Text&, float, sf::RenderWindow&, sf::Color)",
    "MainGameScene::HandleInput()", "MainGameScene::Update(sf::RenderWindow&)",
    "MainGameScene::Advance(GameFrame const&)", "MainGameScene::Draw(sf::RenderWindow&)",
    "ProcessEvents(sf::Window&)", "ChangeScene(std::unique_ptr<Scene, std::default_delete<Scene> >)",
    "sf::RenderTarget::clear(sf::Color const&)",
    "MenuScene::LoadContent(ContentManager&)", "MainGameScene::LoadContent(ContentManager&)",
    "sf::Image::loadFromFile(std::__cxx11::basic_string<char, std::char_traits<char>, "
    "std::allocator<char> > const&)",
]


def print_profile(title, profile, top, whole=False):
    """Figures per frame, or for the whole stretch (``whole``: the switch, whose one loading
    frame is the point and whose edges cut frames)."""
    frames = sum(n for (caller, callee), n in profile.calls.items() if callee == FRAME_FN)
    print("== %s: %d frames, %.1f M instructions in all (%s)" % (
        title, frames, profile.total / 1e6, os.path.basename(profile.path)))
    if frames == 0:
        print("   no frame was presented while collecting")
        return None
    unit = "in the stretch" if whole else "per frame"
    if whole:
        frames = 1
    parts = split(profile, frames)
    print("   instructions %s: total %.0f k = own %.0f k + gl %.0f k + present %.0f k "
          "+ raster %.0f k" % ((unit,) + tuple(parts[k] / 1e3 for k in ("total", "own", "gl", "present", "raster"))))
    print("   inclusive %s:" % unit)
    for name in INCLUSIVE:
        inc = profile.inclusive(name)
        if inc:
            print("     %10.0f k  %s" % (inc / frames / 1e3, name))
    print("   calls %s:" % unit)
    own_side = frame_functions(profile)
    for label, pattern in COUNTED:
        print("     %10.1f    %s" % (profile.calls_to(pattern, own_side) / frames, label))
    print("   costliest functions outside the driver and display(), exclusive %s:" % unit)
    for ir, fn, obj in own_functions(profile, frames, top):
        print("     %10.1f k  %s  [%s]" % (ir / 1e3, fn[:110], obj))
    print()
    return parts


def control(pid, *args):
    res = subprocess.run(["callgrind_control"] + list(args) + [str(pid)], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, timeout=120)
    if res.returncode != 0:
        raise harness.HarnessError("callgrind_control %s failed: %s" % (" ".join(args), res.stdout.decode()))


def dump(pid, out_dir, label, before):
    """Dumps the counters (which zeroes them) and returns the new dump file."""
    control(pid, "--dump=" + label)
    deadline = time.monotonic() + 60
    while True:
        new = sorted(set(glob.glob(os.path.join(out_dir, "callgrind.out*"))) - before)
        if new:
            time.sleep(0.5)  # let callgrind finish writing it
            return new[0]
        if time.monotonic() >= deadline:
            raise harness.HarnessError("callgrind wrote no dump for %s" % label)
        time.sleep(0.2)


def wait_frames(ring, target, timeout, what):
    deadline = time.monotonic() + timeout
    while ring.count() < target:
        if time.monotonic() >= deadline:
            raise harness.HarnessError("%s: frame %d not presented within %.0f s" % (what, target, timeout))
        time.sleep(0.1)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--bin", default=os.path.join(measure.REPO, "build", "zorvane"))
    ap.add_argument("--content-dir", help="working directory holding Content/ (default: the binary's folder)")
    ap.add_argument("--out-dir", help="keep the callgrind files here (default: a temporary folder)")
    ap.add_argument("--work-dir", default="/tmp/zorvane-perf", help="where the shim is built")
    ap.add_argument("--menu-frames", type=int, default=20, help="frames counted on the menu (default 20)")
    ap.add_argument("--play-warmup", type=float, default=8.0,
                    help="seconds of busy play before counting (default 8)")
    ap.add_argument("--play-frames", type=int, default=30,
                    help="frames counted in busy play, cut short 24 s after PLAY (default 30)")
    ap.add_argument("--top", type=int, default=25, help="functions to list per stretch")
    ap.add_argument("--reanalyse", metavar="DIR",
                    help="only print the figures of the dumps kept in DIR by an earlier --out-dir run")
    args = ap.parse_args()

    if args.reanalyse:
        for label in ("menu", "switch", "play"):
            for path in sorted(glob.glob(os.path.join(args.reanalyse, "callgrind.out.*"))):
                with open(path, errors="replace") as f:
                    head = f.read(2000)
                if "Trigger: dump %s\n" % label in head:
                    print_profile(label, Profile(path), args.top, whole=label == "switch")
        return 0

    binary = os.path.abspath(args.bin)
    content = os.path.abspath(args.content_dir or os.path.dirname(binary))
    shim, _ = measure.build_tools(args.work_dir)
    out_dir = args.out_dir or tempfile.mkdtemp(prefix="zorvane-callgrind-")
    os.makedirs(out_dir, exist_ok=True)
    for old in glob.glob(os.path.join(out_dir, "callgrind.out*")):
        os.unlink(old)
    wrapper = os.path.join(out_dir, "run-under-callgrind.sh")
    with open(wrapper, "w") as f:
        f.write("#!/bin/sh\nexec valgrind --tool=callgrind --separate-threads=no --compress-strings=no "
                "--compress-pos=no --callgrind-out-file=%s/callgrind.out.%%p %s\n" % (out_dir, binary))
    os.chmod(wrapper, 0o755)
    ring_path = os.path.join(out_dir, "frames.ring")

    def files():
        return set(glob.glob(os.path.join(out_dir, "callgrind.out*")))

    dumps = {}
    with harness.XServer() as xs:
        env = {"LD_PRELOAD": shim, "SWAPSHIM_OUT": ring_path}
        with xs.launch(wrapper, cwd=content, extra_env=env, log_dir=os.path.join(out_dir, "log")) as game:
            game.wait_for_window(timeout=180)
            game.wait_for_frame(timeout=180)
            ring = measure.Ring(ring_path)  # the program's own ring is in place by now
            game.focus()
            drv = measure.Driver(game)
            drv.move(*measure.FAR_AWAY)
            wait_frames(ring, ring.count() + 3, 120, "menu")

            before = files()
            control(game.pid, "--zero")
            wait_frames(ring, ring.count() + args.menu_frames, 60 * args.menu_frames, "menu")
            dumps["menu"] = dump(game.pid, out_dir, "menu", before)

            drv.move(*measure.PLAY)
            wait_frames(ring, ring.count() + 2, 120, "pointer on PLAY")
            before = files()
            control(game.pid, "--zero")
            first = ring.count()
            drv.button(1, True)
            wait_frames(ring, first + 2, 300, "the switch")  # the loading frame and the next
            drv.button(1, False)
            dumps["switch"] = dump(game.pid, out_dir, "switch", before)
            played = time.monotonic()

            # Input paced by frames, not by time: at callgrind's few frames per second a real-time
            # stream would pile dozens of events into each frame. Per frame: one pointer move,
            # and a wheel notch every other frame (about what 60 fps with a notch per 40 ms gives).
            drv.button(1, True)
            before = None
            first = None
            x = 400
            step = 10
            while True:
                elapsed = time.monotonic() - played
                if first is None and elapsed >= args.play_warmup:
                    before = files()
                    control(game.pid, "--zero")
                    first = ring.count()
                if first is not None and (ring.count() >= first + args.play_frames or elapsed >= 24.0):
                    break
                seen = ring.count()
                if x + step > 700 or x + step < 100:
                    step = -step
                x += step
                drv.move(x, 300)
                if seen % 2 == 0:
                    xtest.fake_input(drv.dpy, X.ButtonPress, 4)
                    xtest.fake_input(drv.dpy, X.ButtonRelease, 4)
                    drv.dpy.sync()
                wait_frames(ring, seen + 1, 120, "busy play")
            dumps["play"] = dump(game.pid, out_dir, "play", before)
            drv.button(1, False)
            game.close()
            if game.wait_exit(180) is None:
                print("the game did not exit 180 s after the close request", file=sys.stderr)

    print("callgrind profile of %s (files in %s)\n" % (binary, out_dir))
    for label in ("menu", "switch", "play"):
        print_profile(label, Profile(dumps[label]), args.top, whole=label == "switch")
    if not args.out_dir:
        shutil.rmtree(out_dir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
