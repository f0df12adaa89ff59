"""Drives the real game in a real X window, as a player would.

Every tool and test that runs the game on a screen goes through this module: the end-to-end
smoke tests, the package and Windows smoke checks, the soak, memcheck and the performance
measurements. It needs Debian's python3 with python3-xlib and python3-pil.

    with Xvfb() as x:                              # a private X server, 1024x768 by default
        game = x.start(["build/zorvane"], cwd="build")
        shot = game.wait_drawn()                   # PIL image of the window, once not all black
        game.move(400, 300); game.click()          # window pixels; real input through XTEST
        game.wheel(+2); game.focus(); game.tap("Escape")
        game.close()                               # WM_DELETE_WINDOW, as a close button sends
        assert game.wait_exit() == 0 and game.out == ""

Desktops besides the bare Xvfb: Openbox (a classic window manager on it), Weston (XWayland in
the weston compositor nested on it, input through the compositor) and WindowManager (a stand-in
that sees where each window asks to be when it is first mapped).

Command line, for shell scripts and for trying the game on a desktop:
    driver.py smoke [--desktop xvfb|openbox|weston] [--cwd DIR] [--click] -- COMMAND...
    driver.py smoke ... [--menu PNG] [--never REGEX] [--shots DIR] -- COMMAND...
starts COMMAND on a private 1920x1080 desktop, waits for its drawn 800x600 window titled
"Zorvane - Quendral" in the middle of the screen; with --menu compares the menu, PLAY lit under
the pointer, with a frame;
with --click taps PLAY (a game must start) and Escape (the menu must come back), keeping the
captures in --shots; asks it to close and exits with the program's exit code (2 when something
on the way failed, or when the program printed what --never matches).
"""

import argparse
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time

if "/usr/lib/python3/dist-packages" not in sys.path:
    sys.path.append("/usr/lib/python3/dist-packages")  # Debian's Xlib and PIL for any python3

import Xlib.display
import Xlib.ext
import Xlib.error
import Xlib.protocol.event
import Xlib.X as X
import Xlib.Xatom as Xatom
import Xlib.XK as XK
from PIL import Image, ImageChops
from Xlib.ext import damage, xtest

TITLE = "Zorvane - Quendral"
PLAY = (400, 300)  # the title menu's button, in window pixels
# python3-xlib 0.33 fails to connect to XWayland while setting up RandR's events; nothing here
# speaks RandR (monitors are declared with the xrandr command).
Xlib.ext.__extensions__ = [e for e in Xlib.ext.__extensions__ if e[0] != "RANDR"]


class DriverError(Exception):
    pass


def wait_until(condition, timeout, what, interval=0.02):
    """Polls until condition() is truthy and returns its value; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DriverError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def close_display(dpy):
    try:
        dpy.close()
    except Xlib.error.ConnectionClosedError:
        pass  # the server went first


def pixels(win, width, height):
    """A window's own pixels from its top-left corner (a GL window reads black from the root)."""
    raw = win.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
    return Image.frombytes("RGB", (width, height), raw.data, "raw", "BGRX")


def differ(a, b, box=None):
    """Whether two captures differ, inside box (left, top, right, bottom) when given."""
    if box is not None:
        a, b = a.crop(box), b.crop(box)
    return ImageChops.difference(a, b).getbbox() is not None


def cpu_seconds(pid):
    """User plus system CPU time of a process, all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class Xvfb:
    """A private X server on a display number of its own choosing; kills what it started."""

    def __init__(self, width=1024, height=768, args=(), depth=24, monitors=()):
        """monitors: (x, y, width, height) of each monitor of a desktop of several, the first
        the primary one, as `xrandr --setmonitor` declares them."""
        self.size = (width, height)
        self.depth = depth
        self.args = list(args)
        self.monitors = monitors
        self.games = []

    def __enter__(self):
        read, write = os.pipe()
        self.log = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0",
             "%dx%dx%d" % (self.size + (self.depth,)), "-nolisten", "tcp", "-noreset"] + self.args,
            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        os.close(write)
        number = b""
        try:
            while not number.endswith(b"\n"):
                if not select.select([read], [], [], 30)[0]:
                    raise DriverError("Xvfb did not start")
                chunk = os.read(read, 16)
                if not chunk:
                    raise DriverError("Xvfb exited: %s" % self.log_text())
                number += chunk
        finally:
            os.close(read)
        self.name = ":" + number.decode().strip()
        self.dpy = Xlib.display.Display(self.name)
        for i, (x, y, width, height) in enumerate(self.monitors):
            subprocess.run(["xrandr", "--setmonitor", "%sM%d" % ("*" if i == 0 else "", i),
                            "%d/%dx%d/%d+%d+%d" % (width, width // 4, height, height // 4, x, y),
                            "none"], env=self.env(), check=True)
        return self

    def __exit__(self, *exc):
        for game in self.games:
            game.kill()
        close_display(self.dpy)
        self.proc.terminate()
        self.proc.wait(10)
        self.log.close()

    def log_text(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def env(self, extra=None):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("WAYLAND_DISPLAY", None)
        env.update(extra or {})
        return env

    def start(self, command, cwd, env=None, close=(), stdin=subprocess.DEVNULL):
        """Starts command in cwd; close lists standard descriptors (0, 1, 2) it starts without."""
        game = Game(self, command, cwd, env, close, stdin)
        self.games.append(game)
        return game

    def pointer(self):
        reply = self.dpy.screen().root.query_pointer()
        return reply.root_x, reply.root_y

    def move_screen(self, x, y):
        """Moves the pointer towards (x, y) on the screen; returns where it went (a confined
        pointer stops at its window's edge)."""
        xtest.fake_input(self.dpy, X.MotionNotify, x=x, y=y)
        self.dpy.sync()
        return self.pointer()

    def fake(self, kind, detail):
        """A key or button pressed or released, as the keyboard or the mouse would."""
        xtest.fake_input(self.dpy, kind, detail)
        self.dpy.sync()

    def server_time(self):
        """The X server's clock now, in milliseconds: the clock of Frames.times."""
        if not hasattr(self, "_clock"):
            root = self.dpy.screen().root
            self._clock = root.create_window(0, 0, 1, 1, 0, 0, X.InputOnly, X.CopyFromParent,
                                             event_mask=X.PropertyChangeMask)
        self._clock.change_property(Xatom.WM_NAME, Xatom.STRING, 8, b"")
        self.dpy.sync()
        while True:
            event = self.dpy.next_event()
            if event.type == X.PropertyNotify and event.window == self._clock:
                return event.time

    def cursor_shown(self):
        """Whether the pointer shows: the cursor image where it stands has a visible pixel."""
        self.dpy.xfixes_query_version()  # the extension wants to know our version first
        image = self.dpy.xfixes_get_cursor_image(self.dpy.screen().root)
        return any(pixel >> 24 for pixel in image.cursor_image)

    def other_window(self):
        """Another application's window, mapped in the top-left corner and given the focus."""
        screen = self.dpy.screen()
        win = screen.root.create_window(0, 0, 100, 100, 0, screen.root_depth)
        win.map()
        self.dpy.sync()
        wait_until(lambda: win.get_attributes().map_state == X.IsViewable, 10, "the other window")
        win.set_input_focus(X.RevertToPointerRoot, X.CurrentTime)
        self.dpy.sync()
        return win


class Openbox(Xvfb):
    """A private Xvfb whose windows Debian's openbox manages, as on a classic desktop."""

    def __enter__(self):
        super().__enter__()
        self.wm = subprocess.Popen(["openbox"], env=self.env(), stdout=self.log, stderr=self.log)
        check = self.dpy.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_until(lambda: self.dpy.screen().root.get_full_property(check, X.AnyPropertyType),
                   20, "openbox")
        return self

    def __exit__(self, *exc):
        self.wm.terminate()
        self.wm.wait(10)
        super().__exit__(*exc)


class Weston(Xvfb):
    """Weston with XWayland, nested in a window on a private Xvfb, as on a Wayland desktop:
    programs use XWayland's display, and their input comes through the compositor from the
    outer server's pointer and keyboard."""

    def __enter__(self):
        self.outer = Xvfb(*self.size).__enter__()
        self.runtime = tempfile.mkdtemp()
        self.log = tempfile.TemporaryFile()
        log = os.path.join(self.runtime, "weston.log")
        self.proc = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--xwayland", "--log=" + log,
             "--width=%d" % self.size[0], "--height=%d" % self.size[1]],
            env=dict(self.outer.env(), XDG_RUNTIME_DIR=self.runtime), stdout=self.log,
            stderr=self.log)

        def listening():
            with open(log) if os.path.exists(log) else open(os.devnull) as f:
                found = re.search(r"xserver listening on display (:\d+)", f.read())
            return found and found.group(1)
        self.name = wait_until(listening, 20, "XWayland's display")
        self.dpy = Xlib.display.Display(self.name)  # the first client starts XWayland
        return self

    def __exit__(self, *exc):
        super().__exit__(*exc)
        self.outer.__exit__(*exc)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def fake(self, kind, detail):
        self.outer.fake(kind, detail)

    def move_screen(self, x, y):
        # The compositor's pointer moves by the outer pointer's steps: to its top-left corner
        # first, then by (x, y).
        for at in ((self.size[0] - 1, self.size[1] - 1), (0, 0), (x, y)):
            self.outer.move_screen(*at)
        return self.pointer()


class WindowManager:
    """A stand-in window manager on a server: it holds the root's substructure redirect, so
    every top-level window's map and configure requests come to it first. It grants them as
    asked and keeps what was asked in `asked`: ("map", x, y, size hint flags) and ("move", x, y);
    `first` is the first mapped window's picture taken right after its map, before its program
    had a chance to draw."""

    def __init__(self, server):
        self.dpy = Xlib.display.Display(server.name)
        self.dpy.screen().root.change_attributes(event_mask=X.SubstructureRedirectMask)
        self.dpy.sync()
        self.asked, self.first, self._stop = [], None, False
        self._thread = threading.Thread(target=self._serve, daemon=True)
        self._thread.start()

    def _serve(self):
        try:
            self._grant()
        except (Xlib.error.ConnectionClosedError, OSError):
            pass  # the server went first

    def _grant(self):
        while not self._stop:
            select.select([self.dpy.fileno()], [], [], 0.05)
            while self.dpy.pending_events():
                event = self.dpy.next_event()
                if event.type == X.MapRequest:
                    win = event.window
                    at, hints = win.get_geometry(), win.get_wm_normal_hints()
                    self.asked.append(("map", at.x, at.y, hints.flags if hints else 0))
                    win.map()
                    screen = self.dpy.screen()
                    w = min(at.width, screen.width_in_pixels - at.x)
                    h = min(at.height, screen.height_in_pixels - at.y)
                    if self.first is None and w > 0 and h > 0:  # the part on the screen
                        self.first = pixels(win, w, h)
                elif event.type == X.ConfigureRequest:
                    if event.value_mask & (X.CWX | X.CWY):
                        self.asked.append(("move", event.x, event.y))
                    names = ("x", "y", "width", "height", "border_width", "sibling", "stack_mode")
                    event.window.configure(**{n: getattr(event, n) for i, n in enumerate(names)
                                              if event.value_mask & (1 << i)})
                self.dpy.flush()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self._stop = True
        self._thread.join(5)
        close_display(self.dpy)


class Game:
    """The game's process and window: look at it, give it input, close it."""

    def __init__(self, server, command, cwd, env, close, stdin):
        self.server = server
        self.dpy = server.dpy
        self.window = None
        self.out = self.err = None
        self._files = [tempfile.TemporaryFile() for _ in range(2)]
        closing = [fd for fd in close if fd in (0, 1, 2)]
        self.proc = subprocess.Popen(
            command, cwd=cwd, env=server.env(env), stdin=stdin, stdout=self._files[0],
            stderr=self._files[1],
            preexec_fn=(lambda: [os.close(fd) for fd in closing]) if closing else None)

    # -- the window ---------------------------------------------------------------------

    def _title(self, win):
        name = win.get_full_property(self.dpy.intern_atom("_NET_WM_NAME"),
                                     self.dpy.intern_atom("UTF8_STRING"))
        value = name.value if name else win.get_wm_name()
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else value

    def _find(self):
        if self.proc.poll() is not None:
            raise DriverError("the game exited with %d before its window showed"
                              % self.proc.returncode)
        tops = self.dpy.screen().root.query_tree().children
        for win in tops + [w for top in tops for w in top.query_tree().children]:  # or framed
            try:
                pid = win.get_full_property(self.dpy.intern_atom("_NET_WM_PID"), X.AnyPropertyType)
                if (win.get_attributes().map_state == X.IsViewable and self._title(win) == TITLE
                        and (pid is None or pid.value[0] == self.proc.pid)):
                    return win
            except Xlib.error.XError:
                continue  # gone while we looked
        return None

    def wait_window(self, timeout=20):
        if self.window is None:
            self.window = wait_until(self._find, timeout, "a window titled %r" % TITLE)
        return self.window

    def title(self):
        return self._title(self.wait_window())

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        win = self.wait_window()
        at = win.translate_coords(self.dpy.screen().root, 0, 0)
        size = win.get_geometry()
        return -at.x, -at.y, size.width, size.height

    def icon_sizes(self):
        """The widths of the icons in the window's _NET_WM_ICON (width, height, pixels...)."""
        values, sizes = self.property("_NET_WM_ICON") or [], []
        while values:
            sizes.append(values[0])
            values = values[2 + values[0] * values[1]:]
        return sizes

    def property(self, name):
        """The values of a window property such as WM_NORMAL_HINTS or _MOTIF_WM_HINTS, or None."""
        prop = self.wait_window().get_full_property(self.dpy.intern_atom(name), X.AnyPropertyType)
        return list(prop.value) if prop else None

    # -- looking ------------------------------------------------------------------------

    def capture(self):
        """The window's own pixels."""
        win = self.wait_window()
        size = win.get_geometry()
        return pixels(win, size.width, size.height)

    def wait_drawn(self, timeout=20):
        """The first capture that is not all black: the game has presented a frame."""
        def drawn():
            try:
                shot = self.capture()
            except Xlib.error.BadMatch:
                return None  # not yet wholly on the screen: the game places it after creating it
            return shot if shot.getbbox() else None
        self.wait_window(timeout)
        return wait_until(drawn, timeout, "a drawn frame", 0.05)

    def still(self, frames=10, box=None):
        """The picture, if it (inside box) stays the same over a few frames; else None."""
        before = self.capture()
        self.held(frames)
        return None if differ(before, self.capture(), box) else before

    def menu(self):
        """The title menu as it shows with the pointer away from its button."""
        self.wait_drawn()
        self.move(20, 20)
        self.held()
        return self.capture()

    def play(self, timeout=20):
        """From the title menu, a click on PLAY; returns the menu's picture."""
        menu = self.menu()
        self.move(*PLAY)
        self.held()
        lit = self.capture()  # the button shows the pointer over it
        self.click()
        if self.wait_change(lit, timeout) is None:
            raise DriverError("a click on PLAY changed nothing")
        return menu

    def wait_change(self, reference, timeout=10, box=None):
        """The first capture that differs from reference (inside box), or None at the deadline."""
        def changed():
            try:
                shot = self.capture()
            except Xlib.error.XError:
                raise DriverError("the window is gone") from None
            return shot if differ(shot, reference, box) else None
        try:
            return wait_until(changed, timeout, "a change", 0.03)
        except DriverError:
            return None

    # -- input --------------------------------------------------------------------------

    def focus(self):
        """Gives the window the keyboard focus, as a window manager would."""
        self.wait_window().set_input_focus(X.RevertToPointerRoot, X.CurrentTime)
        self.dpy.sync()

    def move(self, x, y):
        """Moves the real pointer to (x, y) in window pixels."""
        left, top, _, _ = self.geometry()
        at = (left + x, top + y)
        wait_until(lambda: self.server.move_screen(*at) == at, 10, "the pointer at %d,%d" % at)

    def _fake(self, kind, detail):
        self.server.fake(kind, detail)

    def press(self, button=1):
        self._fake(X.ButtonPress, button)

    def release(self, button=1):
        self._fake(X.ButtonRelease, button)

    def held(self, frames=3):
        """Lets input stay held for a few frames: the game reads live state once per frame."""
        self.wait_frames(frames)

    def wait_frames(self, count, timeout=20):
        """Waits until the game has presented count more frames, or has ended."""
        if not hasattr(self, "_frames"):
            self._frames = self.frames()
        self._frames.wait(count, timeout, self.running)

    def click(self, button=1):
        """A tap: pressed and released at once, as a touchpad does, within one frame."""
        self.press(button)
        self.release(button)

    def wheel(self, notches):
        """Turns the wheel (positive: away from the player); the game keeps one notch a frame."""
        for _ in range(abs(notches)):
            self._fake(X.ButtonPress, 4 if notches > 0 else 5)
            self._fake(X.ButtonRelease, 4 if notches > 0 else 5)
            self.wait_frames(2)

    def _keycode(self, name):
        return self.dpy.keysym_to_keycode(XK.string_to_keysym(name))

    def key_down(self, name):
        self._fake(X.KeyPress, self._keycode(name))

    def key_up(self, name):
        self._fake(X.KeyRelease, self._keycode(name))

    def tap(self, name):
        self.key_down(name)
        self.key_up(name)

    # -- the process --------------------------------------------------------------------

    def close(self):
        """Sends the close request a window manager's close button sends."""
        win = self.wait_window()
        protocols = self.dpy.intern_atom("WM_PROTOCOLS")
        event = Xlib.protocol.event.ClientMessage(
            window=win, client_type=protocols,
            data=(32, [self.dpy.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        win.send_event(event, event_mask=0)
        self.dpy.sync()

    def running(self):
        return self.proc.poll() is None

    def wait_gone(self, timeout=10):
        """Waits until the window has left the screen, as it does once the program has ended."""
        def gone():
            try:
                self.wait_window().get_attributes()
            except Xlib.error.BadWindow:
                return True
        wait_until(gone, timeout, "the window gone")

    def wait_exit(self, timeout=20):
        """The exit code; its standard output and error are then in out and err."""
        try:
            code = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DriverError("the game still runs after %.0f s" % timeout) from None
        self.out, self.err = (self._read(f) for f in self._files)
        return code

    @staticmethod
    def _read(file):
        file.seek(0)
        text = file.read().decode(errors="replace")
        file.close()
        return text

    def kill(self):
        if hasattr(self, "_frames"):
            self._frames.close()
        if self.running():
            self.proc.kill()
            self.proc.wait()
        for file in self._files:
            file.close()

    def cpu_seconds(self):
        return cpu_seconds(self.proc.pid)

    def rss_mib(self):
        with open("/proc/%d/status" % self.proc.pid) as f:
            return next(int(l.split()[1]) for l in f if l.startswith("VmRSS:")) / 1024

    def frames(self):
        return Frames(self.server, self.wait_window().id)


class Frames:
    """The frames the window presents, seen as X damage on it: one per buffer swap.

    Without a window it counts the frames of a window yet to come: every 800x600 damage on the
    screen, the whole of such a window presented. Made before a program starts, it sees that
    program's very first frame; it is for a screen with no other window of that size.
    """

    def __init__(self, server, window_id=None):
        self.dpy = Xlib.display.Display(server.name)
        self.dpy.damage_query_version()
        self.event = self.dpy.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
        self.size = (800, 600) if window_id is None else None
        watched = self.dpy.screen().root.id if window_id is None else window_id
        self.dpy.create_resource_object("window", watched).damage_create(
            damage.DamageReportRawRectangles)
        self.dpy.sync()
        self.times = []  # the server's millisecond timestamp of each frame

    def poll(self):
        while self.dpy.pending_events():
            event = self.dpy.next_event()
            if (event.type == self.event and not event.level & 0x80  # last rectangle of a swap
                    and self.size in (None, (event.area.width, event.area.height))):
                self.times.append(event.timestamp)
        return len(self.times)

    def wait(self, count, timeout=20, alive=lambda: True):
        """Waits until count more frames have come, or alive() turns false."""
        want = self.poll() + count
        wait_until(lambda: self.poll() >= want or not alive(), timeout, "%d frames" % count, 0.005)

    def close(self):
        close_display(self.dpy)


def smoke(argv):
    parser = argparse.ArgumentParser(prog="driver.py smoke")
    parser.add_argument("--cwd", default=".")
    parser.add_argument("--click", action="store_true",
                        help="tap PLAY, then Escape: the game must start, then the menu come back")
    parser.add_argument("--desktop", choices=("xvfb", "openbox", "weston"), default="xvfb",
                        help="a bare Xvfb, openbox on it, or weston with XWayland nested in it")
    parser.add_argument("--menu", metavar="PNG",
                        help="the menu must look like this frame (glyph edges aside)")
    parser.add_argument("--never", metavar="REGEX", help="what the program must not print")
    parser.add_argument("--shots", metavar="DIR", help="keep the menu and play captures there")
    split = argv.index("--") if "--" in argv else len(argv)
    args = parser.parse_args(argv[:split])
    args.command = argv[split + 1:]
    desktop = {"xvfb": Xvfb, "openbox": Openbox, "weston": Weston}[args.desktop]
    with desktop(1920, 1080) as x:
        game = x.start(args.command, cwd=args.cwd)
        try:
            game.wait_drawn(120)

            def centred():  # give or take a title bar; a compositor may tell X late
                left, top, width, height = game.geometry()
                return max(abs(2 * left + width - x.size[0]),
                           abs(2 * top + height - x.size[1])) < 80
            try:
                wait_until(centred, 10, "the window in the middle of the screen")
            finally:
                print("window %r %dx%d at %d,%d on %dx%d"
                      % ((game.title(),) + game.geometry()[2:] + game.geometry()[:2] + x.size))
            if game.geometry()[2:] != (800, 600):
                raise DriverError("the window is not 800x600")
            if args.menu:
                game.move(*PLAY)  # the frame shows PLAY lit, as under the pointer
                game.held()
                shown, expected = game.capture(), Image.open(args.menu).convert("RGB")
                if args.shots:
                    shown.save(os.path.join(args.shots, "menu.png"))
                # as the frame tests judge: a pixel counts past 3 in a channel
                off = ImageChops.difference(shown, expected).point(lambda v: v > 3 and 255)
                count = sum(1 for pixel in off.getdata() if any(pixel))
                if count > 2000:
                    raise DriverError("the menu differs from %s in %d pixels" % (args.menu, count))
                print("the menu looks like %s (%d pixels differ)" % (args.menu, count))
            if args.click:
                menu = game.play(60)
                print("a tap on PLAY started a game")
                if args.shots:
                    game.capture().save(os.path.join(args.shots, "play.png"))
                game.tap("Escape")
                game.move(20, 20)
                wait_until(lambda: not differ(game.capture(), menu), 10, "the menu after Escape")
                print("Escape brought the menu back")
        except DriverError as error:
            print("smoke: %s" % error, file=sys.stderr)
            return 2
        if not game.running():
            print("smoke: the game ended by itself", file=sys.stderr)
            return 2
        game.close()
        code = game.wait_exit(60)
        sys.stdout.write(game.out)
        sys.stderr.write(game.err)
        print("exit code %d" % code)
        if args.never and re.search(args.never, game.out + game.err):
            print("smoke: the program printed what it must not", file=sys.stderr)
            return 2
        return code


if __name__ == "__main__":
    if sys.argv[1:2] != ["smoke"]:
        sys.exit(__doc__)
    sys.exit(smoke(sys.argv[2:]))
