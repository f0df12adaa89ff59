"""Drives the real game in a real X window, as a player would.

Every tool and test that runs the game on a screen goes through this module: the end-to-end
smoke tests, the package and Windows smoke checks, the screenshot tool, the soak, memcheck and
the performance measurements. It needs Debian's python3 with python3-xlib and python3-pil.

    with Xvfb() as x:                              # a private X server, 1024x768 by default
        game = x.start(["build/zorvane"], cwd="build")
        shot = game.wait_drawn()                   # PIL image of the window, once not all black
        game.move(400, 300); game.click()          # window pixels; real input through XTEST
        game.wheel(+2); game.focus(); game.tap("Escape")
        game.close()                               # WM_DELETE_WINDOW, as a close button sends
        assert game.wait_exit() == 0 and game.out == ""

Command line, for shell scripts:  driver.py smoke [--cwd DIR] [--click] -- COMMAND...
starts COMMAND on a private Xvfb, waits for its drawn 800x600 window titled "Zorvane - Quendral"
(optionally clicks PLAY and waits for the picture to change), asks it to close and exits with
the program's exit code (2 when the window never came).
"""

import argparse
import os
import select
import subprocess
import sys
import tempfile
import time

if "/usr/lib/python3/dist-packages" not in sys.path:
    sys.path.append("/usr/lib/python3/dist-packages")  # Debian's Xlib and PIL for any python3

import Xlib.display
import Xlib.error
import Xlib.protocol.event
import Xlib.X as X
import Xlib.Xatom as Xatom
import Xlib.XK as XK
from PIL import Image, ImageChops
from Xlib.ext import damage, xtest

TITLE = "Zorvane - Quendral"
PLAY = (400, 300)  # the title menu's button, in window pixels


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

    def __init__(self, width=1024, height=768, args=()):
        self.size = (width, height)
        self.args = list(args)
        self.games = []

    def __enter__(self):
        read, write = os.pipe()
        self.log = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % self.size,
             "-nolisten", "tcp", "-noreset"] + self.args,
            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        os.close(write)
        number = b""
        try:
            while not number.endswith(b"\n"):
                if not select.select([read], [], [], 15)[0]:
                    raise DriverError("Xvfb did not start")
                chunk = os.read(read, 16)
                if not chunk:
                    raise DriverError("Xvfb exited: %s" % self.log_text())
                number += chunk
        finally:
            os.close(read)
        self.name = ":" + number.decode().strip()
        self.dpy = Xlib.display.Display(self.name)
        return self

    def __exit__(self, *exc):
        for game in self.games:
            game.kill()
        self.dpy.close()
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
        xtest.fake_input(self.dpy, X.MotionNotify, x=x, y=y)
        self.dpy.sync()
        wait_until(lambda: self.pointer() == (x, y), 5, "the pointer at %d,%d" % (x, y))

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
        wait_until(lambda: win.get_attributes().map_state == X.IsViewable, 5, "the other window")
        win.set_input_focus(X.RevertToPointerRoot, X.CurrentTime)
        self.dpy.sync()
        return win


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
        for win in self.dpy.screen().root.query_tree().children:
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

    def property(self, name):
        """The values of a window property such as WM_NORMAL_HINTS or _MOTIF_WM_HINTS, or None."""
        prop = self.wait_window().get_full_property(self.dpy.intern_atom(name), X.AnyPropertyType)
        return list(prop.value) if prop else None

    # -- looking ------------------------------------------------------------------------

    def capture(self):
        """The window's own pixels (a GL window reads black from the root window)."""
        win = self.wait_window()
        size = win.get_geometry()
        raw = win.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (size.width, size.height), raw.data, "raw", "BGRX")

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

    def play(self, timeout=10):
        """From the title menu, a click on PLAY; returns the menu's picture."""
        menu = self.menu()
        self.move(*PLAY)
        self.click()
        if self.wait_change(menu, timeout) is None:
            raise DriverError("a click on PLAY changed nothing")
        return menu

    def wait_change(self, reference, timeout=5, box=None):
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
        self.server.move_screen(left + x, top + y)

    def _fake(self, kind, detail):
        xtest.fake_input(self.dpy, kind, detail)
        self.dpy.sync()

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
        self.press(button)
        self.held()
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
        self.held()
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
        self.dpy.close()


def smoke(argv):
    parser = argparse.ArgumentParser(prog="driver.py smoke")
    parser.add_argument("--cwd", default=".")
    parser.add_argument("--click", action="store_true", help="click PLAY; the picture must change")
    split = argv.index("--") if "--" in argv else len(argv)
    args = parser.parse_args(argv[:split])
    args.command = argv[split + 1:]
    with Xvfb() as x:
        game = x.start(args.command, cwd=args.cwd)
        try:
            game.wait_drawn(120)
            left, top, width, height = game.geometry()
            print("window %r %dx%d at %d,%d" % (game.title(), width, height, left, top))
            if (width, height) != (800, 600):
                raise DriverError("the window is %dx%d, not 800x600" % (width, height))
            if args.click:
                game.play(60)
                print("PLAY changed the picture")
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
        return code


if __name__ == "__main__":
    if sys.argv[1:2] != ["smoke"]:
        sys.exit(__doc__)
    sys.exit(smoke(sys.argv[2:]))
