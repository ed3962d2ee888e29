"""Shared harness of the end-to-end tests: the real qz-shell under Xvfb, with a tray host, the demo
portal and, where a test needs one, a window manager.

Every test file runs as `python3 test_x.py --shell BIN --portal PY --artifacts DIR [--service H:P ...]`
(tests/e2e/CMakeLists.txt passes these). Each process the harness starts runs in its own process group
and carries a marker in its environment; teardown ends the groups and then anything still carrying the
marker, so no X server or browser engine outlives a test.
"""

import argparse
import ctypes
import ctypes.util
import ipaddress
import json
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import uuid

from process_group import end_group

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024
# The window before the start page sizes it: a 333 x 214 client area under a 20 px menu bar.
INITIAL_WIDTH = 333
INITIAL_HEIGHT = 234
MENU_BAR_HEIGHT = 20
START_PATH = "/api/qz/?from=qz&version=1.0.0"
SKIP_EXIT_CODE = 77

config = argparse.Namespace()


def main():
    """Entry point of every test file: reads the harness options, then runs the file's tests."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--shell", required=True, help="the qz-shell binary")
    parser.add_argument("--portal", required=True, help="portal/demo_portal.py")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots and logs")
    parser.add_argument("--service", default="127.0.0.1:8301")
    parser.add_argument("--search", default="127.0.0.1:8302")
    parser.add_argument("--site", default="127.0.0.1:8303")
    parser.add_argument("--home", default="127.0.0.1:8304")
    args, rest = parser.parse_known_args()
    vars(config).update(vars(args))
    for site in ("service", "search", "site", "home"):
        host = getattr(args, site).rpartition(":")[0] or getattr(args, site)
        if not is_loopback(host):
            print(f"skipped: the shell was built for {site} host {getattr(args, site)}, "
                  "which the demo portal cannot stand in for", file=sys.stderr)
            sys.exit(SKIP_EXIT_CODE)
    if os.geteuid() == 0:
        print("note: running as root, so the browser engine runs with QTWEBENGINE_DISABLE_SANDBOX=1",
              file=sys.stderr)
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)


def is_loopback(host):
    if host == "localhost":
        return True
    try:
        return ipaddress.ip_address(host.strip("[]")).is_loopback
    except ValueError:
        return False


def listening(address):
    """Whether something accepts connections on host:port."""
    host, _, port = address.rpartition(":")
    try:
        with socket.create_connection((host.strip("[]"), int(port)), timeout=1):
            return True
    except OSError:
        return False


def wait_until(condition, timeout, message, interval=0.1):
    """Polls condition() until it returns something true; returns that, or fails after timeout seconds.

    message says what was awaited; a callable gives it at the time of failure (for the latest state).
    """
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            text = message() if callable(message) else message
            raise AssertionError(f"{text} (still not so after {timeout} s)")
        time.sleep(interval)


# ----------------------------------------------------------------------------------------------------
# A few lines of Xlib through ctypes: window attributes, properties and the close request, which the
# command-line tools do not offer (Xvfb has no window manager to send WM_DELETE_WINDOW).

class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
        ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


IS_VIEWABLE = 2
CLIENT_MESSAGE = 33
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class Geometry(tuple):
    """(x, y, width, height) in root coordinates, plus what else a test looks at."""

    def __new__(cls, x, y, width, height, viewable, override_redirect):
        self = super().__new__(cls, (x, y, width, height))
        self.viewable = viewable
        self.override_redirect = override_redirect
        return self

    x = property(lambda self: self[0])
    y = property(lambda self: self[1])
    width = property(lambda self: self[2])
    height = property(lambda self: self[3])

    def contains(self, px, py, margin=0):
        return (self.x - margin <= px < self.x + self.width + margin
                and self.y - margin <= py < self.y + self.height + margin)


class Xlib:
    def __init__(self, display):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib = self.lib
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
        lib.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]
        lib.XQueryTree.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)), ctypes.POINTER(ctypes.c_uint)]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.POINTER(XEvent)]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XFlush.argtypes = [ctypes.c_void_p]
        lib.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        lib.XSetErrorHandler.restype = ctypes.c_void_p
        # Windows come and go under our feet: a BadWindow must not end the test process.
        self.errors = 0

        def on_error(_display, _event):
            self.errors += 1
            return 0

        self._handler = ERROR_HANDLER(on_error)
        lib.XSetErrorHandler(self._handler)
        self.dpy = lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display}")
        self.root = lib.XDefaultRootWindow(self.dpy)
        self._atoms = {}

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = self.lib.XInternAtom(self.dpy, name.encode(), 0)
        return self._atoms[name]

    def _checked(self, call):
        """Runs call() and reports whether the server raised no error for it."""
        self.lib.XSync(self.dpy, 0)
        before = self.errors
        ok = call()
        self.lib.XSync(self.dpy, 0)
        return bool(ok) and self.errors == before

    def selection_owner(self, name):
        return self.lib.XGetSelectionOwner(self.dpy, self.atom(name))

    def children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._checked(lambda: self.lib.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                                         ctypes.byref(kids), ctypes.byref(count))):
            return []
        result = [kids[i] for i in range(count.value)]
        if kids:
            self.lib.XFree(kids)
        return result

    def parent(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._checked(lambda: self.lib.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                                         ctypes.byref(kids), ctypes.byref(count))):
            return None
        if kids:
            self.lib.XFree(kids)
        return parent.value

    def descendants(self, window):
        for child in self.children(window):
            yield child
            yield from self.descendants(child)

    def geometry(self, window):
        """The window's place on the screen (root coordinates) and size, or None if it is gone."""
        attrs = XWindowAttributes()
        if not self._checked(lambda: self.lib.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs))):
            return None
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self._checked(lambda: self.lib.XTranslateCoordinates(self.dpy, window, self.root, 0, 0, ctypes.byref(x),
                                                                    ctypes.byref(y), ctypes.byref(child))):
            return None
        return Geometry(x.value, y.value, attrs.width, attrs.height, attrs.map_state == IS_VIEWABLE,
                        bool(attrs.override_redirect))

    def property(self, window, name):
        """(type name, format, bytes) of a window property, or None when it is not set."""
        actual_type, actual_format = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        if not self._checked(lambda: self.lib.XGetWindowProperty(
                self.dpy, window, self.atom(name), 0, 1 << 20, 0, 0, ctypes.byref(actual_type),
                ctypes.byref(actual_format), ctypes.byref(count), ctypes.byref(after),
                ctypes.byref(data)) == 0):
            return None
        try:
            if not actual_type.value:
                return None
            # Format-32 items come as C longs on the client side.
            item = {8: 1, 16: 2, 32: ctypes.sizeof(ctypes.c_long)}[actual_format.value]
            raw = ctypes.string_at(data, count.value * item) if count.value else b""
            return actual_type.value, actual_format.value, raw
        finally:
            if data:
                self.lib.XFree(data)

    def cardinals(self, window, name):
        prop = self.property(window, name)
        if not prop or prop[1] != 32:
            return []
        size = ctypes.sizeof(ctypes.c_long)
        return [int.from_bytes(prop[2][i:i + size], sys.byteorder) for i in range(0, len(prop[2]), size)]

    def text(self, window, name):
        prop = self.property(window, name)
        return prop[2].decode("utf-8", "replace") if prop else None

    def wm_class(self, window):
        prop = self.property(window, "WM_CLASS")
        return tuple(part.decode("latin-1") for part in prop[2].split(b"\0") if part) if prop else ()

    def send_delete_window(self, window):
        """What a window manager's close button sends: WM_PROTOCOLS / WM_DELETE_WINDOW."""
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.data[0] = self.atom("WM_DELETE_WINDOW")
        event.xclient.data[1] = 0  # CurrentTime
        ok = self._checked(lambda: self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event)))
        self.lib.XFlush(self.dpy)
        return ok


# ----------------------------------------------------------------------------------------------------

class ShellTestCase(unittest.TestCase):
    """A test with its own X server; setUp starts it, tearDown ends everything the test started.

    The steps in between are the test's: start_tray(), start_window_manager(), start_portal(...),
    start_shell(), then look and act through the helpers.
    """

    def setUp(self):
        self.marker = uuid.uuid4().hex
        self.name = self.id().split(".", 1)[-1].replace(".", "-")
        self.logs = os.path.join(config.artifacts, "e2e-logs", self.name)
        self.shots = os.path.join(config.artifacts, "e2e-screenshots")
        shutil.rmtree(self.logs, ignore_errors=True)
        os.makedirs(self.logs)
        os.makedirs(self.shots, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="qz-e2e-home-")
        self.processes = []  # (name, Popen), in start order
        self.addCleanup(self._teardown)
        self.shell = None
        self.portal = None
        self.x = None
        self.start_x()

    # -- processes -----------------------------------------------------------------------------------

    def _env(self, **extra):
        env = dict(os.environ)
        env.update({
            "QZ_E2E_MARKER": self.marker,
            "DISPLAY": getattr(self, "display", ""),
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            # A session's runtime folder is a file system of its own; a test may put it beside the home.
            "XDG_RUNTIME_DIR": getattr(self, "runtime_dir", None) or os.path.join(self.home, "runtime"),
            "LANG": "C.UTF-8",
        })
        env.pop("LC_ALL", None)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("QT_QPA_PLATFORM", None)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        env.update(extra)
        return env

    def _start(self, name, argv, env=None, stdout=None, pass_fds=()):
        """Starts a process in a group of its own; its output goes to <logs>/<name>.out and .err."""
        with open(os.path.join(self.logs, f"{name}.out"), "wb") as out, \
                open(os.path.join(self.logs, f"{name}.err"), "wb") as err:
            process = subprocess.Popen(argv, env=env or self._env(), stdin=subprocess.DEVNULL,
                                       stdout=stdout or out, stderr=err, pass_fds=pass_fds,
                                       start_new_session=True)
        self.processes.append((name, process))
        return process

    def _stop(self, process, grace=3.0):
        end_group(process, grace)
        if process.stdout:
            process.stdout.close()
        for name, started in list(self.processes):
            if started is process:
                self.processes.remove((name, started))

    def _marked_processes(self):
        found = []
        needle = f"QZ_E2E_MARKER={self.marker}".encode()
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as environ:
                    if needle in environ.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                pass
        return found

    def _teardown(self):
        if self.x is not None:
            try:
                self.screenshot(f"{self.name}-end")
            except Exception:  # the picture is a help, not a result
                pass
            self.x.close()
            self.x = None
        for _name, process in reversed(list(self.processes)):
            self._stop(process)
        # Anything that left its process group still carries the marker.
        deadline = time.monotonic() + 10
        while (leftovers := self._marked_processes()) and time.monotonic() < deadline:
            for pid in leftovers:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)
        shutil.rmtree(self.home, ignore_errors=True)
        if leftovers:
            print(f"harness: processes {leftovers} could not be ended", file=sys.stderr)

    def start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = self._start("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                         f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset"],
                                pass_fds=(write_end,), env=dict(os.environ, QZ_E2E_MARKER=self.marker))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if not select.select([read_end], [], [], 0.5)[0]:
                continue
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            raise AssertionError(f"Xvfb did not start (see {self.logs}/xvfb.err)")
        self.display = f":{number.decode().strip()}"
        self.x = Xlib(self.display)

    def start_tray(self):
        """trayer docks the shell's icon; waits until it owns the system tray selection."""
        self.trayer = self._start("trayer", [
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
            "--SetDockType", "true", "--SetPartialStrut", "false", "--transparent", "false", "--expand", "true"])
        wait_until(lambda: self.x.selection_owner("_NET_SYSTEM_TRAY_S0"), 10, "trayer owns the system tray")

    def start_window_manager(self):
        self.wm = self._start("openbox", ["openbox", "--sm-disable"])
        wait_until(lambda: self.x.cardinals(self.x.root, "_NET_SUPPORTING_WM_CHECK"), 10, "openbox runs")

    def start_portal(self, *options):
        """The demo portal on the shell's four hosts; waits until all four listen."""
        self.portal_log = os.path.join(self.logs, "portal.log")
        argv = [sys.executable, config.portal, "--log", self.portal_log,
                "--service", config.service, "--search", config.search, "--site", config.site,
                "--home", config.home, *options]
        # The ports are fixed: another run on this machine (a benchmark, say) may hold them for a while.
        deadline = time.monotonic() + 90
        while True:
            self.portal = self._start("portal", argv, stdout=subprocess.PIPE)
            line = self.portal.stdout.readline()
            if line:
                self.portal_hosts = json.loads(line)
                return self.portal
            self.portal.wait(5)
            self._stop(self.portal)
            if time.monotonic() > deadline:
                raise AssertionError(f"the demo portal did not start: {self.read(self.logs, 'portal.err')}")
            time.sleep(0.5)

    def stop_portal(self):
        self._stop(self.portal)

    def start_shell(self, name="shell"):
        """Starts the shell; a later start under another name leaves self.shell alone."""
        extra = {"QTWEBENGINE_DISABLE_SANDBOX": "1"} if os.geteuid() == 0 else {}
        process = self._start(name, [config.shell], env=self._env(**extra))
        if name == "shell":
            self.shell_stderr = os.path.join(self.logs, "shell.err")
            self.shell = process
        return process

    # -- looking -------------------------------------------------------------------------------------

    @staticmethod
    def read(*path):
        try:
            with open(os.path.join(*path), encoding="utf-8", errors="replace") as file:
                return file.read()
        except OSError:
            return ""

    def shell_alive(self):
        return self.shell is not None and self.shell.poll() is None

    def shell_errors(self):
        """The lines in which the shell reports an error it caught."""
        return [line for line in self.read(self.shell_stderr).splitlines() if line.startswith("qz-shell:")]

    def assertNoShellErrors(self):
        self.assertEqual(self.shell_errors(), [], "the shell reported errors on stderr")

    def requests(self):
        records = []
        for line in self.read(self.portal_log).splitlines():
            if line.strip():
                records.append(json.loads(line))
        return records

    def requests_for(self, path, site=None):
        return [r for r in self.requests() if r["path"] == path and (site is None or r.get("site") == site)]

    def shell_windows(self):
        """Every window carrying the shell's process id, at any depth."""
        pid = self.shell.pid
        return [w for w in self.x.descendants(self.x.root) if self.x.cardinals(w, "_NET_WM_PID") == [pid]]

    def find_main_window(self, timeout=30):
        """The shell's main window once it is viewable: its own, large and not a popup."""

        def candidates():
            if not self.shell_alive():
                raise AssertionError(f"the shell ended early with {self.shell.returncode}: "
                                     f"{self.read(self.shell_stderr)[-2000:]}")
            found = []
            for window in self.shell_windows():
                geometry = self.x.geometry(window)
                if geometry and geometry.viewable and not geometry.override_redirect and geometry.width >= 100:
                    found.append(window)
            return found

        windows = wait_until(candidates, timeout, "the shell's main window is shown")
        self.assertEqual(len(windows), 1, f"one main window expected, found {[hex(w) for w in windows]}")
        self.main_window = windows[0]
        return self.main_window

    def caption(self, window=None):
        return self.x.text(window or self.main_window, "_NET_WM_NAME")

    def geometry(self, window=None):
        return self.x.geometry(window or self.main_window)

    def viewable(self, window=None):
        """Whether the window exists and is mapped with all its ancestors."""
        geometry = self.geometry(window)
        return bool(geometry and geometry.viewable)

    def wait_for_caption(self, expected, timeout=30):
        return wait_until(lambda: self.caption() == expected, timeout,
                          lambda: f"the caption becomes {expected!r}; it is {self.caption()!r}")

    def top_level_popups(self):
        """Viewable override-redirect windows right under the root: menus, tool tips."""
        found = []
        for window in self.x.children(self.x.root):
            geometry = self.x.geometry(window)
            if geometry and geometry.viewable and geometry.override_redirect:
                found.append(window)
        return found

    def top_level_windows(self):
        """Viewable windows right under the root that are not popups: without a window manager, every
        shown top-level window (under one, its frames instead)."""
        found = []
        for window in self.x.children(self.x.root):
            geometry = self.x.geometry(window)
            if geometry and geometry.viewable and not geometry.override_redirect:
                found.append(window)
        return found

    def tray_icon(self, timeout=20):
        """The shell's icon, docked inside trayer's panel."""

        def find():
            # Under a window manager the panel sits inside a frame: look at every depth.
            panels = [w for w in self.x.descendants(self.x.root) if self.x.wm_class(w) == ("panel", "trayer")]
            for panel in panels:
                for window in self.x.descendants(panel):
                    geometry = self.x.geometry(window)
                    if (geometry and geometry.viewable and geometry.width > 4
                            and self.x.cardinals(window, "_NET_WM_PID") == [self.shell.pid]):
                        return window
            return None

        return wait_until(find, timeout, "the tray icon docks in trayer")

    def wm_state(self, window=None):
        """ICCCM WM_STATE set by a window manager: 0 withdrawn, 1 normal, 3 iconic (None without one)."""
        values = self.x.cardinals(window or self.main_window, "WM_STATE")
        return values[0] if values else None

    def net_wm_state(self, window=None):
        """The EWMH states a window manager shows, by name (for example "_NET_WM_STATE_HIDDEN")."""
        atoms = self.x.cardinals(window or self.main_window, "_NET_WM_STATE")
        return [name for name in ("_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_MAXIMIZED_VERT",
                                  "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_FULLSCREEN")
                if self.x.atom(name) in atoms]

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def screenshot(self, name):
        path = os.path.join(self.shots, f"{name}.png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path], env=self._env(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=False)
        return path

    def pixel(self, x, y):
        """The colour on the screen at (x, y), as (red, green, blue)."""
        result = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop", f"1x1+{x}+{y}",
                                 "-depth", "8", "txt:-"], env=self._env(), capture_output=True, text=True,
                                timeout=30, check=True)
        values = result.stdout.splitlines()[-1].split("(", 1)[1].split(")", 1)[0]
        return tuple(int(float(v)) for v in values.split(",")[:3])

    def wait_for_page_to_fill_window(self, timeout=15):
        """Waits until the page is drawn at the window's new size: its white background shows in the
        window's lower right corner, and where the first, narrower page had its scroll bar (a page too
        short to scroll has none). Until then the screen's black or the old scroll bar's grey shows."""
        geometry = self.geometry()
        points = [(geometry.x + geometry.width - 4, geometry.y + geometry.height - 4),
                  (geometry.x + INITIAL_WIDTH - 1, geometry.y + MENU_BAR_HEIGHT + 40)]
        wait_until(lambda: all(self.pixel(*point) == (255, 255, 255) for point in points), timeout,
                   lambda: f"the page fills the window: colours at {points} are {[self.pixel(*p) for p in points]}")

    def assertCentred(self, geometry, width, height, tolerance=1):
        x = (SCREEN_WIDTH - width) / 2
        y = (SCREEN_HEIGHT - height) / 2
        self.assertEqual((geometry.width, geometry.height), (width, height), f"window size, geometry {geometry}")
        self.assertLessEqual(abs(geometry.x - x), tolerance, f"window left, geometry {geometry}")
        self.assertLessEqual(abs(geometry.y - y), tolerance, f"window top, geometry {geometry}")

    def hold(self, seconds, what):
        """Lets the shell run for a while, for checks that something does NOT happen; fails if it ends."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertTrue(self.shell_alive(), f"the shell ended {what}: {self.read(self.shell_stderr)[-2000:]}")
            time.sleep(0.1)

    # -- acting --------------------------------------------------------------------------------------

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self._env(), capture_output=True, text=True,
                                timeout=30)
        if result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def click(self, window, button):
        geometry = self.x.geometry(window)
        self.xdotool("mousemove", "--window", window, geometry.width // 2, geometry.height // 2, "click", button)

    def key(self, *keys, window=None):
        """Keys through the XTEST extension, to the window with the focus (given window first focused)."""
        if window:
            self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", *keys)

    def close_window(self, window=None):
        self.assertTrue(self.x.send_delete_window(window or self.main_window), "WM_DELETE_WINDOW sent")

    def minimize(self, window=None):
        self.xdotool("windowminimize", "--sync", window or self.main_window)


# ----------------------------------------------------------------------------------------------------
# Menus, dialogs, the clipboard and the end of the process: what the tests of the commands and of
# closing and exiting look at.

class XSelectionEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
        ("target", ctypes.c_ulong), ("property", ctypes.c_ulong), ("time", ctypes.c_ulong),
    ]


SELECTION_NOTIFY = 31
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
SUBSTRUCTURE_REDIRECT_MASK = 1 << 20
NET_WM_STATE_ADD = 1
# Dark enough to be text on the menu bar's light grey, not its background or its edge.
TEXT_BRIGHTNESS = 300
# Blank columns that part two menu titles; within a title ("Q  Z(Q)") the gaps are narrower.
TITLE_GAP = 13


def selection_text(xlib, selection="CLIPBOARD", timeout=5):
    """The text an X selection holds, asked for as UTF-8 the way a pasting program asks; None when
    no one owns it or the owner has no text."""
    lib = xlib.lib
    lib.XCreateSimpleWindow.restype = ctypes.c_ulong
    lib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    lib.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    lib.XConvertSelection.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_ulong, ctypes.c_ulong]
    lib.XCheckTypedWindowEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.POINTER(XEvent)]
    if not xlib.selection_owner(selection):
        return None
    requestor = lib.XCreateSimpleWindow(xlib.dpy, xlib.root, 0, 0, 1, 1, 0, 0, 0)
    try:
        lib.XConvertSelection(xlib.dpy, xlib.atom(selection), xlib.atom("UTF8_STRING"),
                              xlib.atom("QZ_E2E_SELECTION"), requestor, 0)
        lib.XFlush(xlib.dpy)
        event = XEvent()
        deadline = time.monotonic() + timeout
        while not lib.XCheckTypedWindowEvent(xlib.dpy, requestor, SELECTION_NOTIFY, ctypes.byref(event)):
            if time.monotonic() >= deadline:
                raise AssertionError(f"the owner of {selection} did not answer within {timeout} s")
            time.sleep(0.05)
        notify = ctypes.cast(ctypes.byref(event), ctypes.POINTER(XSelectionEvent)).contents
        return xlib.text(requestor, "QZ_E2E_SELECTION") if notify.property else None
    finally:
        lib.XDestroyWindow(xlib.dpy, requestor)
        lib.XFlush(xlib.dpy)


def add_wm_states(xlib, window, *states):
    """What a task bar sends to maximize a window: a _NET_WM_STATE request to the window manager."""
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = xlib.atom("_NET_WM_STATE")
    event.xclient.format = 32
    event.xclient.data[0] = NET_WM_STATE_ADD
    for i, state in enumerate(states[:2]):
        event.xclient.data[1 + i] = xlib.atom(state)
    event.xclient.data[3] = 2  # from a pager or task bar, as a person's request
    ok = xlib._checked(lambda: xlib.lib.XSendEvent(xlib.dpy, xlib.root, 0,
                                                   SUBSTRUCTURE_NOTIFY_MASK | SUBSTRUCTURE_REDIRECT_MASK,
                                                   ctypes.byref(event)))
    xlib.lib.XFlush(xlib.dpy)
    return ok


class CommandTestCase(ShellTestCase):
    """A test that works the shell's menus and dialogs, reads the clipboard or waits for the end."""

    def own_windows(self):
        """The shell's shown top-level windows (without a window manager): main, browser windows, dialogs."""
        return [w for w in self.top_level_windows() if self.x.cardinals(w, "_NET_WM_PID") == [self.shell.pid]]

    def wait_for_new_window(self, known, timeout=20):
        """The one window of the shell's own that is shown and is not among known."""
        found = wait_until(lambda: [w for w in self.own_windows() if w not in known], timeout,
                           lambda: f"a new window of the shell's shows; its windows are {self.describe_windows()}")
        self.assertEqual(len(found), 1, f"one new window expected: {self.describe_windows()}")
        return found[0]

    def describe_windows(self):
        return [(hex(w), self.caption(w), tuple(self.geometry(w) or ())) for w in self.own_windows()]

    def wait_for_popup(self, known, timeout=10):
        """The one popup (a menu) that is shown and is not among known."""
        found = wait_until(lambda: set(self.top_level_popups()) - set(known), timeout, "a popup menu opens")
        self.assertEqual(len(found), 1, "one popup window")
        return found.pop()

    def modal(self, window):
        return self.x.atom("_NET_WM_STATE_MODAL") in self.x.cardinals(window, "_NET_WM_STATE")

    def screen_columns(self, left, top, width, height):
        """Which columns of the screen rectangle hold dark (text) pixels, as x offsets in it."""
        result = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop",
                                 f"{width}x{height}+{left}+{top}", "-depth", "8", "txt:-"], env=self._env(),
                                capture_output=True, text=True, timeout=30, check=True)
        columns = set()
        for line in result.stdout.splitlines()[1:]:
            place, _, colour = line.partition(":")
            values = colour.split("(", 1)[1].split(")", 1)[0].split(",")[:3]
            if sum(int(float(v)) for v in values) < TEXT_BRIGHTNESS:
                columns.add(int(place.split(",")[0]))
        return sorted(columns)

    def menu_bar_titles(self):
        """The titles the main window's menu bar shows, as (first, last) pixel columns on the screen."""
        geometry = self.geometry()
        self.screenshot("menu-bar")
        titles = []
        for column in self.screen_columns(geometry.x, geometry.y, geometry.width, MENU_BAR_HEIGHT):
            if titles and column - titles[-1][1] <= TITLE_GAP:
                titles[-1][1] = column
            else:
                titles.append([column, column])
        return [(geometry.x + first, geometry.x + last) for first, last in titles]

    def open_menu_title(self, title):
        """Clicks a menu bar title, given as menu_bar_titles() gives it; returns its dropdown menu."""
        known = self.top_level_popups()
        self.xdotool("mousemove", (title[0] + title[1]) // 2, self.geometry().y + MENU_BAR_HEIGHT // 2, "click", 1)
        return self.wait_for_popup(known)

    def click_menu_row(self, menu, row, rows):
        """Clicks the middle of a menu's row (from 0) of rows of equal height."""
        geometry = self.geometry(menu)
        self.xdotool("mousemove", geometry.x + geometry.width // 2,
                     geometry.y + (2 * row + 1) * geometry.height // (2 * rows), "click", 1)

    def engine_processes(self):
        """The browser engine's helper processes this test started that still run."""
        found = []
        for pid in self._marked_processes():
            try:
                with open(f"/proc/{pid}/comm", encoding="utf-8", errors="replace") as comm:
                    if comm.read().startswith("QtWebEngine"):
                        found.append(pid)
            except OSError:
                pass
        return found

    def wait_for_end(self, icon, timeout=30):
        """Waits until the shell ends; returns (exit status, whether its icon was gone while it still ran)."""
        icon_first = False
        deadline = time.monotonic() + timeout
        while True:
            # The icon is looked at before the process: an icon found gone while the process still
            # runs afterwards went first, not with the process's connection to the X server.
            icon_gone = not self.viewable(icon)
            if self.shell.poll() is not None:
                return self.shell.returncode, icon_first
            icon_first = icon_first or icon_gone
            if time.monotonic() >= deadline:
                raise AssertionError(f"the shell ends (still running after {timeout} s)")
            time.sleep(0.01)
