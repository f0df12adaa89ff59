"""End-to-end harness for Zorvane: runs the real game in a real X window.

Each ``XServer`` starts its own Xvfb on a display number chosen by Xvfb
itself (``-displayfd``), so several test processes can run side by side.
``XServer.launch()`` starts the game binary with that DISPLAY and returns a
``Game`` that can find the window, look at it (``xwd`` capture parsed here in
pure Python) and drive it with real input (XTEST through python3-xlib, the
same path a physical mouse/keyboard takes through the server).

Everything waits with a timeout, and both the game and Xvfb are killed when
the ``with`` blocks are left, whether the test passed or not.

Typical use::

    with XServer() as xs:
        with xs.launch("build/zorvane", cwd="build") as game:
            game.wait_for_window()
            shot = game.wait_for_frame()
            game.move(400, 300)
            game.click(1)
            game.close()
            assert game.wait_exit(5) == 0
"""

import atexit
import os
import select
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

try:
    import Xlib  # noqa: F401
except ImportError:  # e.g. a pyenv/venv python that does not see Debian's packages
    _debian_site = "/usr/lib/python3/dist-packages"
    if os.path.isdir(_debian_site) and _debian_site not in sys.path:
        sys.path.append(_debian_site)
    import Xlib  # noqa: F401

import Xlib.X as X
import Xlib.XK as XK
import Xlib.display
import Xlib.error
import Xlib.protocol.event
from Xlib.ext import damage, xtest

WINDOW_TITLE = "Zorvane - Quendral"

# WM_NORMAL_HINTS flags (ICCCM)
_P_MIN_SIZE = 1 << 4
_P_MAX_SIZE = 1 << 5


class HarnessError(Exception):
    """The harness could not do what was asked (timeout, missing tool, ...)."""


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Poll ``predicate`` until it returns a truthy value; return that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---------------------------------------------------------------------------
# Images
# ---------------------------------------------------------------------------


def _mask_shift_bits(mask):
    if mask == 0:
        return 0, 0
    shift = 0
    while not (mask >> shift) & 1:
        shift += 1
    bits = 0
    while (mask >> (shift + bits)) & 1:
        bits += 1
    return shift, bits


class Image:
    """An RGB image: ``width``, ``height``, ``pixel(x, y) -> (r, g, b)``.

    Boxes are ``(x0, y0, x1, y1)`` with x1/y1 exclusive.
    """

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("rgb buffer has %d bytes, expected %d" % (len(rgb), width * height * 3))
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)

    # -- parsing ------------------------------------------------------------

    @classmethod
    def from_xwd(cls, data):
        """Parse an XWD (X Window Dump) file, ZPixmap, 24 or 32 bits/pixel."""
        if len(data) < 100:
            raise ValueError("XWD data too short (%d bytes)" % len(data))
        # xwd writes its header most-significant byte first; accept the other
        # order too, recognised by an implausible header size / version.
        hdr = None
        for order in (">", "<"):
            fields = struct.unpack(order + "25I", data[:100])
            if fields[1] == 7 and 100 <= fields[0] <= len(data):
                hdr = fields
                break
        if hdr is None:
            raise ValueError("not an XWD version 7 file")
        (header_size, _version, pixmap_format, _depth, width, height, _xoffset,
         byte_order, _bitmap_unit, _bit_order, _bitmap_pad, bits_per_pixel,
         bytes_per_line, _visual_class, red_mask, green_mask, blue_mask,
         _bits_per_rgb, _colormap_entries, ncolors, _ww, _wh, _wx, _wy, _bw) = hdr
        if pixmap_format != 2:  # ZPixmap
            raise ValueError("unsupported XWD pixmap format %d" % pixmap_format)
        if bits_per_pixel not in (24, 32):
            raise ValueError("unsupported XWD bits per pixel %d" % bits_per_pixel)
        offset = header_size + ncolors * 12
        need = offset + bytes_per_line * height
        if len(data) < need:
            raise ValueError("XWD data truncated: %d bytes, need %d" % (len(data), need))
        bpp = bits_per_pixel // 8
        endian = "little" if byte_order == 0 else "big"
        shifts = [_mask_shift_bits(m) for m in (red_mask, green_mask, blue_mask)]
        out = bytearray(width * height * 3)

        fast = all(bits == 8 and shift % 8 == 0 for shift, bits in shifts)
        if fast:
            # Each channel is one whole byte of the pixel: slice it out.
            idx = []
            for shift, _bits in shifts:
                byte = shift // 8
                idx.append(byte if endian == "little" else bpp - 1 - byte)
            for y in range(height):
                start = offset + y * bytes_per_line
                row = data[start:start + width * bpp]
                o = y * width * 3
                dst = memoryview(out)[o:o + width * 3]
                dst[0::3] = row[idx[0]::bpp]
                dst[1::3] = row[idx[1]::bpp]
                dst[2::3] = row[idx[2]::bpp]
        else:
            masks = (red_mask, green_mask, blue_mask)
            o = 0
            for y in range(height):
                start = offset + y * bytes_per_line
                for x in range(width):
                    p = int.from_bytes(data[start + x * bpp:start + (x + 1) * bpp], endian)
                    for c in range(3):
                        shift, bits = shifts[c]
                        v = (p & masks[c]) >> shift
                        out[o + c] = (v * 255 // ((1 << bits) - 1)) if bits else 0
                    o += 3
        return cls(width, height, out)

    # -- access -------------------------------------------------------------

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d image" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return (self.rgb[i], self.rgb[i + 1], self.rgb[i + 2])

    def _box(self, box):
        if box is None:
            return 0, 0, self.width, self.height
        x0, y0, x1, y1 = box
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x1), min(self.height, y1)
        if x0 >= x1 or y0 >= y1:
            raise ValueError("empty box %r" % (box,))
        return x0, y0, x1, y1

    def crop(self, box):
        x0, y0, x1, y1 = self._box(box)
        rows = []
        for y in range(y0, y1):
            i = (y * self.width + x0) * 3
            rows.append(self.rgb[i:i + (x1 - x0) * 3])
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def is_all_black(self):
        return not any(self.rgb)

    def mean_brightness(self, box=None):
        """Mean of R, G and B over the box, 0..255."""
        img = self if box is None else self.crop(box)
        return sum(img.rgb) / len(img.rgb)

    def diff(self, other, box=None, threshold=0):
        """Pixels (x, y) in ``box`` where any channel differs by more than ``threshold``."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError("size mismatch %dx%d vs %dx%d"
                             % (self.width, self.height, other.width, other.height))
        x0, y0, x1, y1 = self._box(box)
        changed = []
        a, b = self.rgb, other.rgb
        for y in range(y0, y1):
            i0 = (y * self.width + x0) * 3
            i1 = (y * self.width + x1) * 3
            if a[i0:i1] == b[i0:i1]:
                continue
            for x in range(x0, x1):
                i = (y * self.width + x) * 3
                if (abs(a[i] - b[i]) > threshold or abs(a[i + 1] - b[i + 1]) > threshold
                        or abs(a[i + 2] - b[i + 2]) > threshold):
                    changed.append((x, y))
        return changed

    def same_as(self, other):
        return (self.width, self.height, self.rgb) == (other.width, other.height, other.rgb)

    # -- output -------------------------------------------------------------

    def to_png(self):
        def chunk(kind, payload):
            body = kind + payload
            return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        stride = self.width * 3
        raw = b"".join(b"\x00" + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))
        return (b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 6))
                + chunk(b"IEND", b""))

    def save_png(self, path):
        d = os.path.dirname(path)
        if d:
            os.makedirs(d, exist_ok=True)
        with open(path, "wb") as f:
            f.write(self.to_png())
        return path


# ---------------------------------------------------------------------------
# X server
# ---------------------------------------------------------------------------


_live_servers = set()


@atexit.register
def _stop_leftovers():
    # e.g. after Ctrl-C, which skips tearDown and ``with`` exits in some runners
    for server in list(_live_servers):
        server.stop()


class XServer:
    """A private Xvfb for one test; a context manager."""

    def __init__(self, width=1024, height=1024, depth=24, start_timeout=15.0):
        # SFML 2.5 centres its window using the screen *width* for both axes,
        # so the screen must be tall enough to hold the whole 800x600 window.
        self.screen = "%dx%dx%d" % (width, height, depth)
        self.start_timeout = start_timeout
        self.proc = None
        self.display_name = None
        self.dpy = None
        self._games = []
        self._log = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        rfd, wfd = os.pipe()
        self._log = tempfile.TemporaryFile()
        _live_servers.add(self)
        try:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(wfd), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(wfd,), stdin=subprocess.DEVNULL,
                stdout=self._log, stderr=self._log)
        except FileNotFoundError:
            os.close(rfd)
            os.close(wfd)
            raise HarnessError("Xvfb is not installed (Debian package xvfb)")
        os.close(wfd)
        buf = b""
        deadline = time.monotonic() + self.start_timeout
        try:
            while not buf.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0:
                    raise HarnessError("Xvfb did not report a display within %.0f s%s"
                                       % (self.start_timeout, self._log_tail()))
                ready, _, _ = select.select([rfd], [], [], left)
                if not ready:
                    continue
                chunk = os.read(rfd, 64)
                if not chunk:
                    raise HarnessError("Xvfb exited before it was ready (code %r)%s"
                                       % (self.proc.poll(), self._log_tail()))
                buf += chunk
        finally:
            os.close(rfd)
        self.display_name = ":" + buf.decode().strip()
        self.dpy = Xlib.display.Display(self.display_name)
        if not self.dpy.has_extension("XTEST"):
            raise HarnessError("Xvfb has no XTEST extension")

    def _log_tail(self):
        if self._log is None:
            return ""
        self._log.seek(0)
        text = self._log.read().decode(errors="replace").strip()
        return ("\nXvfb said:\n" + text[-2000:]) if text else ""

    def stop(self):
        _live_servers.discard(self)
        for game in self._games:
            game.kill()
        self._games = []
        if self.dpy is not None:
            try:
                self.dpy.close()
            except Exception:
                pass
            self.dpy = None
        if self.proc is not None and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        self.proc = None
        if self._log is not None:
            self._log.close()
            self._log = None

    def env(self, extra=None):
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        env["DISPLAY"] = self.display_name
        if extra:
            env.update(extra)
        return env

    def xwd(self, window_id, timeout=10.0):
        """Raw ``xwd`` dump of one window (its own contents, so GL windows work)."""
        try:
            res = subprocess.run(["xwd", "-id", str(window_id), "-silent"],
                                 env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, timeout=timeout)
        except FileNotFoundError:
            raise HarnessError("xwd is not installed (Debian package x11-apps)")
        except subprocess.TimeoutExpired:
            raise HarnessError("xwd did not finish within %.0f s" % timeout)
        if res.returncode != 0:
            raise HarnessError("xwd failed (%d): %s" % (res.returncode, res.stderr.decode(errors="replace")))
        return res.stdout

    def launch(self, binary, cwd, extra_env=None, log_dir=None):
        """Start ``binary`` (no arguments) in working directory ``cwd``."""
        game = Game(self, binary, cwd, extra_env=extra_env, log_dir=log_dir)
        self._games.append(game)
        return game


# ---------------------------------------------------------------------------
# The game process and its window
# ---------------------------------------------------------------------------


class Game:
    """The game process, its window and the input sent to it."""

    def __init__(self, server, binary, cwd, extra_env=None, log_dir=None):
        self.server = server
        self.dpy = server.dpy
        self.binary = os.path.abspath(binary)
        self.cwd = cwd
        self.window = None
        self._screenshots = []  # (label, Image), for failure reports
        self._log_dir = log_dir or tempfile.mkdtemp(prefix="zorvane-e2e-")
        os.makedirs(self._log_dir, exist_ok=True)
        self.stdout_path = os.path.join(self._log_dir, "stdout.txt")
        self.stderr_path = os.path.join(self._log_dir, "stderr.txt")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen(
                [self.binary], cwd=cwd, env=server.env(extra_env),
                stdin=subprocess.DEVNULL, stdout=out, stderr=err)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()
        return False

    # -- process ------------------------------------------------------------

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        """Exit code of the game, or None if it is still running after ``timeout`` s.

        A negative code -N means it was killed by signal N.
        """
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        """Stop the game if it still runs (TERM, then KILL). Safe to call twice."""
        if self.proc.poll() is None:
            try:
                self.proc.send_signal(signal.SIGTERM)
                self.proc.wait(3)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
            except ProcessLookupError:
                pass

    def stdout_text(self):
        """Everything the game wrote on stdout so far (may lag behind its buffer until exit)."""
        with open(self.stdout_path, "rb") as f:
            return f.read().decode(errors="replace")

    def stderr_text(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    # -- window -------------------------------------------------------------

    def _window_pid(self, win):
        prop = win.get_full_property(self.dpy.intern_atom("_NET_WM_PID"), X.AnyPropertyType)
        return prop.value[0] if prop is not None and len(prop.value) else None

    def _find_window(self):
        if not self.running():
            raise HarnessError("the game exited (code %r) before showing its window"
                               % self.proc.returncode)
        root = self.dpy.screen().root
        for win in root.query_tree().children:
            try:
                if win.get_attributes().map_state != X.IsViewable:
                    continue
                if self._title_of(win) != WINDOW_TITLE:
                    continue
                pid = self._window_pid(win)
                if pid is not None and pid != self.pid:
                    continue
                return win
            except Xlib.error.XError:
                continue  # window vanished while we looked at it
        return None

    def wait_for_window(self, timeout=15.0):
        """Find the game's mapped top-level window titled "Zorvane - Quendral"."""
        try:
            self.window = wait_until(self._find_window, timeout, what="the game window")
        except HarnessError as exc:
            raise HarnessError("%s titled %r; top-level windows: %s"
                               % (exc, WINDOW_TITLE, self._describe_windows())) from None
        return self.window

    def _describe_windows(self):
        found = []
        try:
            for win in self.dpy.screen().root.query_tree().children:
                try:
                    g = win.get_geometry()
                    mapped = win.get_attributes().map_state == X.IsViewable
                    found.append("%r %dx%d%s" % (self._title_of(win), g.width, g.height,
                                                  "" if mapped else " (unmapped)"))
                except Xlib.error.XError:
                    pass
        except Xlib.error.XError:
            pass
        return ", ".join(found) or "none"

    def _require_window(self):
        if self.window is None:
            self.wait_for_window()
        return self.window

    def _title_of(self, win):
        net = win.get_full_property(self.dpy.intern_atom("_NET_WM_NAME"),
                                    self.dpy.intern_atom("UTF8_STRING"))
        if net is not None:
            value = net.value
            return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
        name = win.get_wm_name()
        if isinstance(name, bytes):
            name = name.decode("latin-1")
        return name

    def title(self):
        """(WM_NAME, _NET_WM_NAME) of the window; either may be None."""
        win = self._require_window()
        wm_name = win.get_wm_name()
        if isinstance(wm_name, bytes):
            wm_name = wm_name.decode("latin-1")
        net = win.get_full_property(self.dpy.intern_atom("_NET_WM_NAME"),
                                    self.dpy.intern_atom("UTF8_STRING"))
        net_name = None
        if net is not None:
            net_name = net.value.decode("utf-8", "replace") if isinstance(net.value, bytes) else str(net.value)
        return wm_name, net_name

    def size(self):
        """(width, height) of the window's client area."""
        g = self._require_window().get_geometry()
        return g.width, g.height

    def position(self):
        """(x, y) of the window's top-left corner on the root window."""
        win = self._require_window()
        t = win.translate_coords(self.dpy.screen().root, 0, 0)
        return -t.x, -t.y

    def size_hints(self):
        """dict(min=(w, h) or None, max=(w, h) or None) from WM_NORMAL_HINTS."""
        hints = self._require_window().get_wm_normal_hints()
        if hints is None:
            return {"min": None, "max": None}
        return {
            "min": (hints.min_width, hints.min_height) if hints.flags & _P_MIN_SIZE else None,
            "max": (hints.max_width, hints.max_height) if hints.flags & _P_MAX_SIZE else None,
        }

    # -- looking ------------------------------------------------------------

    def screenshot(self, label=None, timeout=10.0):
        """Capture the window itself (a GL window reads black from the root)."""
        img = Image.from_xwd(self.server.xwd(self._require_window().id, timeout))
        if label:
            self._screenshots.append((label, img))
        return img

    def wait_for_frame(self, timeout=15.0, label=None):
        """Wait until the window shows something other than black; return that capture."""
        self._require_window()

        def drawn():
            shot = self.screenshot()
            return None if shot.is_all_black() else shot

        img = wait_until(drawn, timeout, interval=0.1, what="a drawn (not all black) frame")
        if label:
            self._screenshots.append((label, img))
        return img

    def wait_stable(self, timeout=5.0, interval=0.1, label=None):
        """Wait until two captures ``interval`` s apart are identical; return the capture."""
        state = {"last": self.screenshot()}

        def steady():
            time.sleep(interval)
            cur = self.screenshot()
            same = cur.same_as(state["last"])
            state["last"] = cur
            return cur if same else None

        img = wait_until(steady, timeout, interval=0, what="a steady picture")
        if label:
            self._screenshots.append((label, img))
        return img

    def wait_for_change(self, reference, timeout=3.0, box=None, label=None):
        """Wait until the capture differs from ``reference`` (in ``box``); return it or None."""
        deadline = time.monotonic() + timeout
        while True:
            cur = self.screenshot()
            if box is None and not cur.same_as(reference) or box is not None and cur.diff(reference, box):
                if label:
                    self._screenshots.append((label, cur))
                return cur
            if time.monotonic() >= deadline:
                if label:
                    self._screenshots.append((label, cur))
                return None
            time.sleep(0.05)

    def keep(self, label, img):
        """Add a capture to the ones saved by ``save_artifacts``."""
        self._screenshots.append((label, img))
        return img

    def screenshots(self):
        """(label, Image) of every labelled capture so far."""
        return list(self._screenshots)

    # -- input --------------------------------------------------------------

    def focus(self):
        """Give the window keyboard focus (there is no window manager to do it)."""
        win = self._require_window()
        win.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.dpy.sync()

    def move(self, x, y):
        """Move the real pointer to (x, y) in window coordinates."""
        wx, wy = self.position()
        xtest.fake_input(self.dpy, X.MotionNotify, x=wx + x, y=wy + y)
        self.dpy.sync()
        wait_until(lambda: self.pointer() == (x, y), 2.0, interval=0.01,
                    what="the pointer to reach (%d, %d)" % (x, y))

    def move_screen(self, x, y):
        """Move the real pointer to (x, y) in screen coordinates (e.g. out of the window)."""
        xtest.fake_input(self.dpy, X.MotionNotify, x=x, y=y)
        self.dpy.sync()
        root = self.dpy.screen().root
        wait_until(lambda: (lambda q: (q.root_x, q.root_y))(root.query_pointer()) == (x, y), 2.0,
                    interval=0.01, what="the pointer to reach screen (%d, %d)" % (x, y))

    def pointer(self):
        """Pointer position in window coordinates."""
        q = self._require_window().query_pointer()
        return q.win_x, q.win_y

    def press_button(self, button):
        xtest.fake_input(self.dpy, X.ButtonPress, button)
        self.dpy.sync()

    def release_button(self, button):
        xtest.fake_input(self.dpy, X.ButtonRelease, button)
        self.dpy.sync()

    def click(self, button=1, hold=0.05):
        self.press_button(button)
        time.sleep(hold)
        self.release_button(button)

    def wheel(self, notches, gap=0.04):
        """Turn the wheel: positive = away from the user (button 4), negative = towards (5).

        The game reads one wheel delta per frame, so notches are ``gap`` s apart.
        """
        button = 4 if notches > 0 else 5
        for i in range(abs(notches)):
            if i:
                time.sleep(gap)
            self.click(button, hold=0)

    def keycode(self, name):
        """X keycode for a keysym name such as "Escape", "Return", "space", "a", "Control_L"."""
        keysym = XK.string_to_keysym(name)
        if keysym == X.NoSymbol:
            raise HarnessError("unknown key name %r (use X keysym names: Escape, Return, space, a, Control_L)" % name)
        code = self.dpy.keysym_to_keycode(keysym)
        if not code:
            raise HarnessError("no keycode for key %r on this X server" % name)
        return code

    def key_down(self, name):
        xtest.fake_input(self.dpy, X.KeyPress, self.keycode(name))
        self.dpy.sync()

    def key_up(self, name):
        xtest.fake_input(self.dpy, X.KeyRelease, self.keycode(name))
        self.dpy.sync()

    def tap(self, name, hold=0.05):
        self.key_down(name)
        time.sleep(hold)
        self.key_up(name)

    # Proof that keys really arrive: any number of clients may listen for key
    # events on a window, so the harness listens on the game window too.

    def watch_keys(self):
        self._require_window().change_attributes(event_mask=X.KeyPressMask | X.KeyReleaseMask)
        self.dpy.sync()
        self.keys_seen()  # drop anything queued earlier

    def keys_seen(self):
        """[(\"press\"|\"release\", keycode)] delivered to the game window since the last call."""
        seen = []
        self.dpy.sync()
        while self.dpy.pending_events():
            ev = self.dpy.next_event()
            if ev.type in (X.KeyPress, X.KeyRelease) and ev.window.id == self.window.id:
                seen.append(("press" if ev.type == X.KeyPress else "release", ev.detail))
        return seen

    # -- closing ------------------------------------------------------------

    def close(self):
        """Ask the game to close its window, as a window manager's close button does."""
        win = self._require_window()
        wm_protocols = self.dpy.intern_atom("WM_PROTOCOLS")
        wm_delete = self.dpy.intern_atom("WM_DELETE_WINDOW")
        ev = Xlib.protocol.event.ClientMessage(
            window=win, client_type=wm_protocols,
            data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
        win.send_event(ev, event_mask=0)
        self.dpy.sync()

    # -- reports ------------------------------------------------------------

    def save_artifacts(self, directory, prefix=""):
        """Write labelled captures, a fresh capture and the game's output into ``directory``."""
        os.makedirs(directory, exist_ok=True)
        written = []
        for i, (label, img) in enumerate(self._screenshots):
            written.append(img.save_png(os.path.join(directory, "%s%02d-%s.png" % (prefix, i, label))))
        if self.window is not None and self.running():
            try:
                written.append(self.screenshot().save_png(os.path.join(directory, prefix + "last.png")))
            except Exception as exc:  # the report must not hide the real failure
                written.append("(no last capture: %s)" % exc)
        for name in ("stdout.txt", "stderr.txt"):
            src = os.path.join(self._log_dir, name)
            if os.path.exists(src):
                dst = os.path.join(directory, prefix + name)
                with open(src, "rb") as f, open(dst, "wb") as g:
                    g.write(f.read())
                written.append(dst)
        return written


class FrameCounter:
    """Counts the frames the game presents, from the X DAMAGE events of its window
    (each buffer swap is one drawing operation on the window)."""

    def __init__(self, server, window_id):
        self.dpy = Xlib.display.Display(server.display_name)
        if not self.dpy.has_extension("DAMAGE"):
            self.dpy.close()
            raise HarnessError("the X server has no DAMAGE extension")
        self.dpy.damage_query_version()
        self.event_type = self.dpy.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
        self.dpy.create_resource_object("window", window_id).damage_create(
            damage.DamageReportRawRectangles)
        self.dpy.sync()
        self.frames = 0

    def poll(self):
        while self.dpy.pending_events():
            event = self.dpy.next_event()
            if event.type == self.event_type and not event.level & 0x80:
                self.frames += 1
        return self.frames

    def wait(self, count, timeout, game=None):
        """Wait until ``count`` more frames were shown; return how many came (maybe fewer).

        Gives up early when ``game`` has exited.
        """
        start = self.poll()
        deadline = time.monotonic() + timeout
        while self.poll() - start < count and time.monotonic() < deadline:
            if game is not None and not game.running():
                break
            time.sleep(0.005)
        return self.poll() - start

    def close(self):
        self.dpy.close()


def cpu_seconds(pid):
    """User plus system CPU time of a process, from /proc/<pid>/stat."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def rss_kib(pid):
    """Resident memory of a process in KiB, from /proc/<pid>/status."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for pid %d" % pid)


# The menu's large bill; the game-over panel is the same picture in the same place at alpha 200.
CENTRE_PANEL = (275, 252, 525, 348)
PANEL_ALPHA = 200 / 255


def panel_fit(bill, shot, box=CENTRE_PANEL):
    """Share of the box's pixels (away from dark text) in ``shot`` that fit ``bill``, the opaque
    large bill from a menu capture, drawn at alpha 200 over anything: near 1 with the game-over
    panel up, about 0.3 in play."""
    x0, y0, x1, y1 = box
    fit = checked = 0
    for y in range(y0 + 3, y1 - 3, 3):
        for x in range(x0 + 3, x1 - 3, 3):
            p, h = bill.pixel(x, y), shot.pixel(x, y)
            if max(p) < 60 or max(h) < 60:
                continue
            checked += 1
            if all(PANEL_ALPHA * pc - 3 <= hc <= PANEL_ALPHA * pc + (1 - PANEL_ALPHA) * 255 + 3
                   for pc, hc in zip(p, h)):
                fit += 1
    return fit / checked if checked else 0.0
